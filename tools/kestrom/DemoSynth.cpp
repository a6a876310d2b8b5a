#include "tools/kestrom/DemoSynth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrom::tool {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kBeat = 0.5;  // seconds per beat at 120 beats per minute
constexpr double kBar = 4 * kBeat;

// Loudness of the bar a time falls in: the first two bars of every four soft,
// the last two loud (linear factors, 14 dB apart).
double Section(double t) {
    const double barInCycle = std::fmod(t / kBar, 4.0);
    return barInCycle < 2.0 ? 0.2 : 1.0;
}

// Kick drum: a sine falling from 150 Hz to 50 Hz with a 120 ms decay.
double Kick(double age) {
    const double f0 = 50.0, f1 = 150.0, sweep = 0.04;
    // Phase = integral of f0 + (f1 - f0) e^(-t/sweep).
    const double phase = kTwoPi * (f0 * age + (f1 - f0) * sweep * (1.0 - std::exp(-age / sweep)));
    return std::sin(phase) * std::exp(-age / 0.12);
}

// Snare: a 190 Hz body and a noise rattle, each with its own decay.
double Snare(double age, double noise) {
    return 0.5 * std::sin(kTwoPi * 190.0 * age) * std::exp(-age / 0.05) + 0.6 * noise * std::exp(-age / 0.09);
}

// Bass notes per bar (A, F, C, G), in Hz.
constexpr double kBassRoots[4] = {55.0, 43.653528929125486, 65.40639132514966, 48.99942949771866};

// Voice melody, one note per beat over four bars: semitones above A3 (220 Hz),
// or a rest where the entry is -99.
constexpr int kMelody[16] = {7, 5, 4, -99, 4, 5, 7, 9, 12, 11, 9, -99, 7, 9, 7, 4};

// Vowel formants (Hz) the voice glides through, one vowel per beat: a, e, o, i.
constexpr double kFormants[4][3] = {{800, 1150, 2900}, {400, 1600, 2700}, {450, 800, 2830}, {300, 2300, 3000}};

// Resonance weight of a harmonic at `f` for formant `centre` with a fixed
// 100 Hz bandwidth: a second-order peak's magnitude shape.
double Resonance(double f, double centre) {
    const double bandwidth = 100.0;
    const double x = (f - centre) / bandwidth;
    return 1.0 / std::sqrt(1.0 + x * x);
}

}  // namespace

DemoSynth::DemoSynth(int sampleRate) : sampleRate_(sampleRate) {}

void DemoSynth::Render(float* left, float* right, std::int64_t frames) {
    const double dt = 1.0 / sampleRate_;
    const double nyquist = 0.5 * sampleRate_;

    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(frame_) * dt;
        const double loud = Section(t);
        const double cycle = std::fmod(t, 4 * kBar);
        const int beat = static_cast<int>(cycle / kBeat);  // 0 .. 15
        const int bar = beat / 4;
        const double beatAge = cycle - beat * kBeat;
        const double eighthAge = std::fmod(cycle, kBeat / 2);

        // Drums: kick on beats 1 and 3 (and the "and" of 4), snare on 2 and 4,
        // closed hi-hat on every eighth.
        double kick = 0.0;
        if (beat % 2 == 0) {
            kick = Kick(beatAge);
        } else if (beat % 4 == 3 && beatAge >= kBeat / 2) {
            kick = 0.7 * Kick(beatAge - kBeat / 2);
        }
        const double n = noise_.Next();
        const double snare = beat % 2 == 1 ? Snare(beatAge, n) : 0.0;
        hatState_ += 0.5 * (n - hatState_);
        const double hat = 0.25 * (n - hatState_) * std::exp(-eighthAge / 0.025);

        // Bass: eighth notes on the bar's root, an octave jump on the last
        // eighth of each beat pair; a few harmonics of a sawtooth, low-passed.
        const double root = kBassRoots[bar] * (static_cast<int>(cycle / (kBeat / 2)) % 4 == 3 ? 2.0 : 1.0);
        bassPhase_ += root * dt;
        bassPhase_ -= std::floor(bassPhase_);
        double saw = 0.0;
        for (int h = 1; h <= 6; ++h) {
            saw += std::sin(kTwoPi * h * bassPhase_) / h;
        }
        bassLowPass_ += 0.3 * (saw - bassLowPass_);
        const double bassEnv = std::min(1.0, eighthAge / 0.005) * std::exp(-eighthAge / 0.2);
        const double bass = 0.45 * bassLowPass_ * bassEnv;

        // Voice: a vibrato fundamental whose harmonics (1/h, like a glottal
        // pulse) are weighted by three vowel formants; soft onset and release
        // per note, silence on rests.
        double voice = 0.0;
        const int note = kMelody[beat];
        if (note != -99) {
            const double f0 = 220.0 * std::pow(2.0, note / 12.0) * (1.0 + 0.012 * std::sin(kTwoPi * 5.5 * t));
            voicePhase_ += f0 * dt;
            voicePhase_ -= std::floor(voicePhase_);
            const double* vowelA = kFormants[beat % 4];
            const double* vowelB = kFormants[(beat + 1) % 4];
            const double glide = beatAge / kBeat;
            double formant[3];
            for (int k = 0; k < 3; ++k) {
                formant[k] = vowelA[k] + (vowelB[k] - vowelA[k]) * glide * glide;
            }
            for (int h = 1; h * f0 < std::min(5000.0, nyquist); ++h) {
                const double f = h * f0;
                const double weight =
                    Resonance(f, formant[0]) + 0.6 * Resonance(f, formant[1]) + 0.3 * Resonance(f, formant[2]);
                voice += weight * std::sin(kTwoPi * h * voicePhase_) / h;
            }
            const double env = std::min(1.0, beatAge / 0.03) * std::min(1.0, (kBeat - beatAge) / 0.05);
            voice *= 0.5 * env;
        }

        // Mix: kick, snare and bass in the middle, hi-hat to the right, voice
        // to the left. The drums keep their level in the soft bars less than the rest.
        const double drums = (0.9 * kick + 0.5 * snare) * std::sqrt(loud);
        left[i] = static_cast<float>(loud * (0.8 * voice + bass + 0.6 * hat) + drums);
        right[i] = static_cast<float>(loud * (0.5 * voice + bass + 1.0 * hat) + drums);
        ++frame_;
    }
}

}  // namespace kestrom::tool
