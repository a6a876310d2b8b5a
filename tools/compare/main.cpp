// kestrom_lv2_compare: Kestrom's LV2 plug-in against other LV2 compressors,
// all loaded by this one host in one process. It times each over a sound
// file (CPU time per stereo frame, run() on blocks of real size), measures
// the steady-state gain reduction of a stepped sine sweep and the gain
// reduction over time of the file, and writes a markdown table and two
// plots. scripts/compare-compressors.sh builds it and runs it.

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/compare/CompressorSetup.h"
#include "tools/compare/LinePlot.h"
#include "tools/compare/Lv2Compressor.h"
#include "tools/compare/Lv2Session.h"
#include "tools/kestrom/SoundFileReader.h"

namespace {

using kestrom::compare::CompressorSetup;
using kestrom::compare::LinePlot;
using kestrom::compare::Lv2Compressor;
using kestrom::compare::Lv2Session;

constexpr double kPi = 3.14159265358979323846;
constexpr double kSweepFirstDb = -60.0;
constexpr double kSweepStepDb = 2.0;
constexpr int kSweepSteps = 31;             // -60 ... 0 dBFS
constexpr double kSweepStepSeconds = 1.0;
constexpr double kSweepMeasureSeconds = 0.25;  // the end of each step
constexpr double kSweepHz = 1000.0;
constexpr double kWindowSeconds = 0.01;     // gain over time, per window
constexpr double kQuietDb = -45.0;          // windows quieter than this show no reduction (a gap)

struct Options {
    std::string input;
    std::string outDir = "out/compare";
    int block = 512;
    int rounds = 9;
    int passes = 3;
};

struct Stereo {
    std::vector<float> left, right;
    std::size_t Frames() const { return left.size(); }
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

bool ReadStereo(const std::string& path, Stereo& audio, int& rate, std::string& error) {
    kestrom::tool::SoundFileReader reader;
    if (!reader.Open(path, error)) return false;
    if (reader.Channels() != 1 && reader.Channels() != 2) {
        error = path + ": only mono or stereo files";
        return false;
    }
    rate = reader.SampleRate();
    const auto frames = static_cast<std::size_t>(std::max<std::int64_t>(reader.Frames(), 0));
    audio.left.assign(frames, 0.0f);
    audio.right.assign(frames, 0.0f);
    float* channels[2] = {audio.left.data(), audio.right.data()};
    std::size_t done = 0;
    while (done < frames) {
        float* at[2] = {channels[0] + done, channels[1] + done};
        const std::int64_t n = reader.Read(at, static_cast<std::int64_t>(frames - done), error);
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    audio.left.resize(done);
    audio.right.resize(done);
    if (reader.Channels() == 1) audio.right = audio.left;
    return true;
}

double PowerDb(double sumSquares, std::size_t samples) {
    return 10.0 * std::log10(std::max(sumSquares / static_cast<double>(std::max<std::size_t>(samples, 1)), 1e-30));
}

double SumSquares(const Stereo& a, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += static_cast<double>(a.left[i]) * a.left[i] + static_cast<double>(a.right[i]) * a.right[i];
    }
    return sum;
}

Stereo Run(Lv2Compressor& compressor, const Stereo& in) {
    Stereo out;
    out.left.assign(in.Frames(), 0.0f);
    out.right.assign(in.Frames(), 0.0f);
    compressor.Process(in.left.data(), in.right.data(), out.left.data(), out.right.data(),
                       static_cast<std::int64_t>(in.Frames()));
    return out;
}

// The same 1 kHz sine in both channels, its peak stepped from -60 dBFS to 0.
Stereo Sweep(int rate) {
    Stereo s;
    const auto stepFrames = static_cast<std::size_t>(kSweepStepSeconds * rate);
    for (int step = 0; step < kSweepSteps; ++step) {
        const double amplitude = std::pow(10.0, (kSweepFirstDb + step * kSweepStepDb) / 20.0);
        for (std::size_t i = 0; i < stepFrames; ++i) {
            const std::size_t n = step * stepFrames + i;
            const auto v = static_cast<float>(amplitude * std::sin(2.0 * kPi * kSweepHz * static_cast<double>(n) / rate));
            s.left.push_back(v);
            s.right.push_back(v);
        }
    }
    return s;
}

struct Result {
    const CompressorSetup* setup = nullptr;
    std::string problem;  // why it was left out, when it was
    int instances = 0;
    double nsPerFrame = NAN;
    std::vector<double> sweepReduction;  // dB per step
    double staticGainDb = NAN;           // output over input at the sweep's first step
    std::vector<double> timeReduction;   // dB per window, NaN where the input is quiet
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : v[v.size() / 2];
}

std::string Fixed(double value, int digits) {
    if (!std::isfinite(value)) return "–";
    if (std::fabs(value) < 0.5 * std::pow(10.0, -digits)) value = 0.0;  // no "-0.0"
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(digits);
    s << value;
    return s.str();
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&](std::string& value) {
            if (i + 1 >= argc) return false;
            value = argv[++i];
            return true;
        };
        std::string value;
        if (a == "--input" && next(value)) o.input = value;
        else if (a == "--out" && next(value)) o.outDir = value;
        else if (a == "--block" && next(value)) o.block = std::atoi(value.c_str());
        else if (a == "--rounds" && next(value)) o.rounds = std::atoi(value.c_str());
        else if (a == "--passes" && next(value)) o.passes = std::atoi(value.c_str());
        else return false;
    }
    return !o.input.empty() && o.block >= 1 && o.block <= 8192 && o.rounds >= 1 && o.passes >= 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: kestrom_lv2_compare --input FILE [--out DIR] [--block FRAMES] [--rounds N] [--passes N]\n");
        return 2;
    }
    Stereo input;
    int rate = 0;
    std::string error;
    if (!ReadStereo(options.input, input, rate, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (input.Frames() == 0) {
        std::fprintf(stderr, "%s holds no audio\n", options.input.c_str());
        return 1;
    }

    Lv2Session session(rate, options.block);
    const std::vector<CompressorSetup> setups = CompressorSetup::All();
    std::vector<Result> results(setups.size());
    std::vector<std::unique_ptr<Lv2Compressor>> timed(setups.size());
    for (std::size_t c = 0; c < setups.size(); ++c) {
        results[c].setup = &setups[c];
        timed[c] = std::make_unique<Lv2Compressor>(session, setups[c]);
        if (!timed[c]->Open(results[c].problem)) {
            std::fprintf(stderr, "left out: %s\n", results[c].problem.c_str());
            timed[c].reset();
            continue;
        }
        results[c].instances = timed[c]->Instances();
    }
    if (!timed[0]) {
        std::fprintf(stderr, "Kestrom is the reference and could not be loaded: %s\n", results[0].problem.c_str());
        return 1;
    }

    // CPU time: one pass each to warm up, then rounds of `passes` passes over
    // the file, the compressors taking turns within each round.
    Stereo scratch;
    scratch.left.assign(input.Frames(), 0.0f);
    scratch.right.assign(input.Frames(), 0.0f);
    auto pass = [&](Lv2Compressor& c) {
        c.Process(input.left.data(), input.right.data(), scratch.left.data(), scratch.right.data(),
                  static_cast<std::int64_t>(input.Frames()));
    };
    std::vector<std::vector<double>> samples(setups.size());
    for (std::size_t c = 0; c < setups.size(); ++c) {
        if (timed[c]) pass(*timed[c]);
    }
    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t c = 0; c < setups.size(); ++c) {
            if (!timed[c]) continue;
            const double start = CpuSeconds();
            for (int p = 0; p < options.passes; ++p) pass(*timed[c]);
            const double seconds = CpuSeconds() - start;
            samples[c].push_back(seconds * 1e9 / (static_cast<double>(input.Frames()) * options.passes));
        }
    }
    for (std::size_t c = 0; c < setups.size(); ++c) {
        results[c].nsPerFrame = Median(samples[c]);
        timed[c].reset();
    }

    // Behaviour, each compressor freshly instantiated for each signal.
    const Stereo sweep = Sweep(rate);
    const auto stepFrames = static_cast<std::size_t>(kSweepStepSeconds * rate);
    const auto measureFrames = static_cast<std::size_t>(kSweepMeasureSeconds * rate);
    const auto window = static_cast<std::size_t>(kWindowSeconds * rate);
    const std::size_t windows = input.Frames() / window;
    for (std::size_t c = 0; c < setups.size(); ++c) {
        Result& r = results[c];
        if (!r.problem.empty()) continue;
        Lv2Compressor forSweep(session, setups[c]);
        Lv2Compressor forFile(session, setups[c]);
        if (!forSweep.Open(r.problem) || !forFile.Open(r.problem)) continue;
        const Stereo out = Run(forSweep, sweep);
        std::vector<double> gain(kSweepSteps);
        for (int step = 0; step < kSweepSteps; ++step) {
            const std::size_t to = (step + 1) * stepFrames;
            const std::size_t from = to - measureFrames;
            gain[step] = PowerDb(SumSquares(out, from, to), 2 * measureFrames) -
                         PowerDb(SumSquares(sweep, from, to), 2 * measureFrames);
        }
        r.staticGainDb = gain[0];
        for (double g : gain) r.sweepReduction.push_back(r.staticGainDb - g);
        if (c == 0) {
            std::printf("Kestrom's own gain-reduction port at the end of the sweep: %.2f dB (measured %.2f dB)\n",
                        forSweep.ControlOutput("gain_reduction"), r.sweepReduction.back());
        }
        const Stereo fileOut = Run(forFile, input);
        for (std::size_t w = 0; w < windows; ++w) {
            const double inDb = PowerDb(SumSquares(input, w * window, (w + 1) * window), 2 * window);
            const double outDb = PowerDb(SumSquares(fileOut, w * window, (w + 1) * window), 2 * window);
            r.timeReduction.push_back(inDb < kQuietDb ? NAN : r.staticGainDb - (outDb - inDb));
        }
    }

    // The report.
    std::ostringstream md;
    md << "| compressor | plug-in | instances | ns per stereo frame | CPU time / Kestrom's |\n"
       << "|---|---|---:|---:|---:|\n";
    for (const Result& r : results) {
        if (!r.problem.empty()) {
            md << "| " << r.setup->name << " | `" << r.setup->uri << "` | – | left out: " << r.problem << " | – |\n";
            continue;
        }
        md << "| " << r.setup->name << " | `" << r.setup->uri << "` | " << r.instances << " | "
           << Fixed(r.nsPerFrame, 1) << " | " << Fixed(r.nsPerFrame / results[0].nsPerFrame, 2) << " |\n";
    }
    md << "\nSteady-state gain reduction (dB) of a 1 kHz sine by its peak level, and the gain at -60 dBFS it is "
          "measured from:\n\n| compressor | gain at -60 dBFS | -40 dBFS | -30 | -20 | -10 | 0 dBFS |\n"
       << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const Result& r : results) {
        if (!r.problem.empty()) continue;
        md << "| " << r.setup->name << " | " << Fixed(r.staticGainDb, 1) << " dB";
        for (int level : {-40, -30, -20, -10, 0}) {
            const int step = static_cast<int>(std::lround((level - kSweepFirstDb) / kSweepStepDb));
            md << " | " << Fixed(r.sweepReduction[step], 1);
        }
        md << " |\n";
    }
    md << "\nSettings (every other control at its default):\n\n";
    for (const Result& r : results) {
        md << "- **" << r.setup->name << "**: " << r.setup->settingsText << "\n";
    }

    const std::string tablePath = options.outDir + "/table.md";
    std::ofstream table(tablePath);
    table << md.str();
    table.close();
    if (!table) {
        std::fprintf(stderr, "cannot write %s\n", tablePath.c_str());
        return 1;
    }
    std::fputs(md.str().c_str(), stdout);

    double most = 10.0;
    for (const Result& r : results) {
        for (double v : r.sweepReduction) most = std::isfinite(v) ? std::max(most, v) : most;
        for (double v : r.timeReduction) most = std::isfinite(v) ? std::max(most, v) : most;
    }
    const double top = std::ceil(most / 5.0) * 5.0;

    LinePlot sweepPlot(960, 600, "Steady-state gain reduction of a 1 kHz sine, stepped in 2 dB",
                       "input level (dBFS, sine peak)", "gain reduction (dB)");
    sweepPlot.SetX(kSweepFirstDb, 0.0, 10.0);
    sweepPlot.SetY(0.0, top, 5.0);
    const double seconds = static_cast<double>(input.Frames()) / rate;
    LinePlot timePlot(1200, 600, "Gain reduction over time: the demo music (drums, bass, voice; soft, then loud)",
                      "time (s)", "gain reduction (dB), 10 ms windows");
    timePlot.SetX(0.0, std::ceil(seconds), seconds > 20 ? 5.0 : 1.0);
    timePlot.SetY(0.0, top, 5.0);
    for (const Result& r : results) {
        if (!r.problem.empty()) continue;
        std::vector<double> levels, times;
        for (int s = 0; s < kSweepSteps; ++s) levels.push_back(kSweepFirstDb + s * kSweepStepDb);
        for (std::size_t w = 0; w < r.timeReduction.size(); ++w) {
            times.push_back((static_cast<double>(w) + 0.5) * kWindowSeconds);
        }
        sweepPlot.AddSeries(r.setup->name, r.setup->colour, levels, r.sweepReduction);
        timePlot.AddSeries(r.setup->name, r.setup->colour, times, r.timeReduction);
    }
    sweepPlot.Draw();
    timePlot.Draw();
    if (!sweepPlot.WritePng(options.outDir + "/gain-reduction-sweep.png", error) ||
        !timePlot.WritePng(options.outDir + "/gain-reduction-over-time.png", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
