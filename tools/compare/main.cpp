// kestrom_lv2_compare: Kestrom's LV2 plug-in in its three detection modes
// against other LV2 compressors, all loaded by this one host in one process.
// It times each over a sound file (CPU time per stereo frame, run() on blocks
// of real size), measures the steady-state gain reduction and output level of
// a stepped sine sweep (Kestrom's modes each at three In levels) and the gain
// reduction over time of the file, and writes a markdown table and three
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
constexpr double kSweepLeadInSeconds = 3.0;  // at the first step's level, before it
constexpr double kSweepMeasureSeconds = 0.25;  // the end of each step
constexpr double kSweepHz = 1000.0;
constexpr double kWindowSeconds = 0.01;     // gain over time, per window
constexpr double kQuietDb = -45.0;          // windows quieter than this show no reduction (a gap)

struct Options {
    std::string input;
    std::string outDir = "out/compare";
    int block = 512;
    int rounds = 25;  // short rounds: a change of the machine's load falls within one
    int passes = 1;
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

// The same 1 kHz sine in both channels, its peak stepped from -60 dBFS to 0,
// after a lead-in at the first step's level: a compressor may start from a
// gain of its own (Kestrom's rises from nothing with its release), and the
// first step is the reference of the gain reductions, so it must be as
// settled as the rest.
Stereo Sweep(int rate) {
    Stereo s;
    const auto stepFrames = static_cast<std::size_t>(kSweepStepSeconds * rate);
    const auto leadFrames = static_cast<std::size_t>(kSweepLeadInSeconds * rate);
    const std::size_t frames = leadFrames + kSweepSteps * stepFrames;
    for (std::size_t n = 0; n < frames; ++n) {
        const std::size_t step = n < leadFrames ? 0 : (n - leadFrames) / stepFrames;
        const double amplitude = std::pow(10.0, (kSweepFirstDb + static_cast<double>(step) * kSweepStepDb) / 20.0);
        const auto v = static_cast<float>(amplitude * std::sin(2.0 * kPi * kSweepHz * static_cast<double>(n) / rate));
        s.left.push_back(v);
        s.right.push_back(v);
    }
    return s;
}

struct Result {
    const CompressorSetup* setup = nullptr;
    std::string problem;  // why it was left out, when it was
    int instances = 0;
    std::vector<double> rounds;          // ns per stereo frame, one per round
    double nsPerFrame = NAN;             // their median
    double ratio = NAN;                  // median of the rounds' ratios to the reference's time
    double staticGainDb = NAN;           // output over input at the sweep's first step
    std::vector<double> timeReduction;   // dB per window, NaN where the input is quiet
};

// One curve of the level sweep: a setup (Kestrom's at one In level), its
// gain at the first step, and per step the gain reduction from there and the
// output level.
struct SweepCurve {
    CompressorSetup setup;
    LinePlot::Stroke stroke = LinePlot::Stroke::Solid;
    std::string problem;
    double staticGainDb = NAN;
    std::vector<double> reduction;  // dB per step
    std::vector<double> outputDb;   // dBFS (sine peak) per step
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? NAN : v[v.size() / 2];
}

// The value below which `share` of the sorted values lie (nearest rank).
double Quantile(std::vector<double> v, double share) {
    std::sort(v.begin(), v.end());
    if (v.empty()) return NAN;
    const auto at = static_cast<std::size_t>(std::lround(share * static_cast<double>(v.size() - 1)));
    return v[at];
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

double SweepLevelDb(int step) { return kSweepFirstDb + step * kSweepStepDb; }

// Runs a freshly opened instance of `setup` over the sweep and measures the
// steady state at the end of each step.
SweepCurve MeasureSweep(Lv2Session& session, const CompressorSetup& setup, LinePlot::Stroke stroke,
                        const Stereo& sweep, int rate, bool reportPort) {
    SweepCurve curve{setup, stroke, {}, NAN, {}, {}};
    Lv2Compressor compressor(session, setup);
    if (!compressor.Open(curve.problem)) return curve;
    const Stereo out = Run(compressor, sweep);
    const auto stepFrames = static_cast<std::size_t>(kSweepStepSeconds * rate);
    const auto measureFrames = static_cast<std::size_t>(kSweepMeasureSeconds * rate);
    const auto leadFrames = static_cast<std::size_t>(kSweepLeadInSeconds * rate);
    std::vector<double> gain(kSweepSteps);
    for (int step = 0; step < kSweepSteps; ++step) {
        const std::size_t to = leadFrames + (step + 1) * stepFrames;
        const std::size_t from = to - measureFrames;
        gain[step] = PowerDb(SumSquares(out, from, to), 2 * measureFrames) -
                     PowerDb(SumSquares(sweep, from, to), 2 * measureFrames);
    }
    curve.staticGainDb = gain[0];
    for (int step = 0; step < kSweepSteps; ++step) {
        curve.reduction.push_back(curve.staticGainDb - gain[step]);
        curve.outputDb.push_back(SweepLevelDb(step) + gain[step]);
    }
    if (reportPort) {
        std::printf("%s: its own gain-reduction port at the end of the sweep: %.2f dB (measured %.2f dB)\n",
                    setup.name.c_str(), compressor.ControlOutput("gain_reduction"), curve.reduction.back());
    }
    return curve;
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
    // the file, the compressors taking turns within each round, each round
    // starting one further along the list so that none always follows the
    // same one. Whatever else loads the machine during a round loads them
    // all alike, so the ratio within a round is the steadier figure; the
    // report gives the medians over the rounds.
    Stereo scratch;
    scratch.left.assign(input.Frames(), 0.0f);
    scratch.right.assign(input.Frames(), 0.0f);
    auto pass = [&](Lv2Compressor& c) {
        c.Process(input.left.data(), input.right.data(), scratch.left.data(), scratch.right.data(),
                  static_cast<std::int64_t>(input.Frames()));
    };
    const std::size_t count = setups.size();
    for (std::size_t c = 0; c < count; ++c) {
        if (timed[c]) pass(*timed[c]);
    }
    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            const std::size_t c = (turn + static_cast<std::size_t>(round)) % count;
            if (!timed[c]) continue;
            const double start = CpuSeconds();
            for (int p = 0; p < options.passes; ++p) pass(*timed[c]);
            const double seconds = CpuSeconds() - start;
            results[c].rounds.push_back(seconds * 1e9 / (static_cast<double>(input.Frames()) * options.passes));
        }
    }
    for (std::size_t c = 0; c < count; ++c) {
        Result& r = results[c];
        r.nsPerFrame = Median(r.rounds);
        std::vector<double> ratios;
        for (std::size_t k = 0; k < r.rounds.size(); ++k) ratios.push_back(r.rounds[k] / results[0].rounds[k]);
        r.ratio = Median(ratios);
        timed[c].reset();
    }

    // Behaviour, each compressor freshly instantiated for each signal: the
    // level sweep of every setup (Kestrom's modes each at In -20, 0 and
    // +20 dB, drawn dotted, solid and dashed), the file with every setup.
    const Stereo sweep = Sweep(rate);
    std::vector<SweepCurve> curves;
    for (std::size_t c = 0; c < count; ++c) {
        if (!results[c].problem.empty()) continue;
        if (c >= CompressorSetup::kKestromModes) {
            curves.push_back(MeasureSweep(session, setups[c], LinePlot::Stroke::Solid, sweep, rate, false));
            results[c].staticGainDb = curves.back().staticGainDb;
            continue;
        }
        const std::pair<float, LinePlot::Stroke> levels[] = {
            {-20.0f, LinePlot::Stroke::Dotted}, {0.0f, LinePlot::Stroke::Solid}, {20.0f, LinePlot::Stroke::Dashed}};
        for (const auto& [inDb, stroke] : levels) {
            curves.push_back(MeasureSweep(session, setups[c].WithIn(inDb), stroke, sweep, rate, c == 0 && inDb == 0.0f));
            if (inDb == 0.0f) results[c].staticGainDb = curves.back().staticGainDb;
        }
    }
    for (const SweepCurve& curve : curves) {
        if (!curve.problem.empty()) std::fprintf(stderr, "sweep left out: %s\n", curve.problem.c_str());
    }
    const auto window = static_cast<std::size_t>(kWindowSeconds * rate);
    const std::size_t windows = input.Frames() / window;
    for (std::size_t c = 0; c < count; ++c) {
        Result& r = results[c];
        if (!r.problem.empty()) continue;
        Lv2Compressor forFile(session, setups[c]);
        if (!forFile.Open(r.problem)) continue;
        const Stereo fileOut = Run(forFile, input);
        for (std::size_t w = 0; w < windows; ++w) {
            const double inDb = PowerDb(SumSquares(input, w * window, (w + 1) * window), 2 * window);
            const double outDb = PowerDb(SumSquares(fileOut, w * window, (w + 1) * window), 2 * window);
            r.timeReduction.push_back(inDb < kQuietDb || !std::isfinite(r.staticGainDb) ? NAN
                                                                                        : r.staticGainDb - (outDb - inDb));
        }
    }

    // The report.
    std::ostringstream md;
    md << "Median of " << options.rounds << " rounds; in each the plug-ins take turns, " << options.passes
       << (options.passes == 1 ? " pass" : " passes") << " over the file each, the first one moving along the list from round to round. The ratio is "
          "the median of the ratios within each round.\n\n"
       << "| compressor | plug-in | instances | ns per stereo frame | middle half of the rounds | "
          "CPU time / Kestrom normal's |\n"
       << "|---|---|---:|---:|---:|---:|\n";
    for (const Result& r : results) {
        if (!r.problem.empty()) {
            md << "| " << r.setup->name << " | `" << r.setup->uri << "` | – | left out: " << r.problem << " | – | – |\n";
            continue;
        }
        md << "| " << r.setup->name << " | `" << r.setup->uri << "` | " << r.instances << " | "
           << Fixed(r.nsPerFrame, 1) << " | " << Fixed(Quantile(r.rounds, 0.25), 1) << "–"
           << Fixed(Quantile(r.rounds, 0.75), 1) << " | " << Fixed(r.ratio, 2) << " |\n";
    }
    const int shown[] = {-40, -30, -20, -10, 0};
    md << "\nSteady-state gain reduction (dB) of a 1 kHz sine by its peak level, and the gain at -60 dBFS it is "
          "measured from:\n\n| compressor | gain at -60 dBFS | -40 dBFS | -30 | -20 | -10 | 0 dBFS |\n"
       << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const SweepCurve& curve : curves) {
        if (!curve.problem.empty()) continue;
        md << "| " << curve.setup.name << " | " << Fixed(curve.staticGainDb, 1) << " dB";
        for (int level : shown) {
            md << " | " << Fixed(curve.reduction[static_cast<std::size_t>(std::lround((level - kSweepFirstDb) / kSweepStepDb))], 1);
        }
        md << " |\n";
    }
    md << "\nSteady-state output level (dBFS, sine peak) by input level:\n\n"
          "| compressor | -60 dBFS in | -40 | -30 | -20 | -10 | 0 dBFS in |\n"
       << "|---|---:|---:|---:|---:|---:|---:|\n";
    for (const SweepCurve& curve : curves) {
        if (!curve.problem.empty()) continue;
        md << "| " << curve.setup.name << " | " << Fixed(curve.outputDb.front(), 1);
        for (int level : shown) {
            md << " | " << Fixed(curve.outputDb[static_cast<std::size_t>(std::lround((level - kSweepFirstDb) / kSweepStepDb))], 1);
        }
        md << " |\n";
    }
    md << "\nSettings (every other control at its default):\n\n";
    for (const Result& r : results) {
        md << "- **" << r.setup->name << "**: " << r.setup->settingsText << "\n";
    }
    md << "- Kestrom's sweep runs each mode at In -20, 0 and +20 dB as well (In is also its input gain).\n";

    const std::string tablePath = options.outDir + "/table.md";
    std::ofstream table(tablePath);
    table << md.str();
    table.close();
    if (!table) {
        std::fprintf(stderr, "cannot write %s\n", tablePath.c_str());
        return 1;
    }
    std::fputs(md.str().c_str(), stdout);

    // The plots: the sweep's gain reduction and output level, with a legend
    // column of their own for the many curves; the gain reduction over time.
    double mostSwept = 10.0, lowest = 0.0, highest = -60.0;
    std::vector<double> levels;
    for (int s = 0; s < kSweepSteps; ++s) levels.push_back(SweepLevelDb(s));
    for (const SweepCurve& curve : curves) {
        for (double v : curve.reduction) mostSwept = std::isfinite(v) ? std::max(mostSwept, v) : mostSwept;
        for (double v : curve.outputDb) {
            lowest = std::isfinite(v) ? std::min(lowest, v) : lowest;
            highest = std::isfinite(v) ? std::max(highest, v) : highest;
        }
    }
    double mostOverTime = 10.0;
    for (const Result& r : results) {
        for (double v : r.timeReduction) mostOverTime = std::isfinite(v) ? std::max(mostOverTime, v) : mostOverTime;
    }

    LinePlot sweepPlot(1200, 700, "Steady-state gain reduction of a 1 kHz sine, stepped in 2 dB",
                       "input level (dBFS, sine peak)", "gain reduction (dB)");
    sweepPlot.SetX(kSweepFirstDb, 0.0, 10.0);
    sweepPlot.SetY(0.0, std::ceil(mostSwept / 5.0) * 5.0, 5.0);
    sweepPlot.PlaceLegendRight();
    LinePlot outputPlot(1200, 700, "Steady-state output level of a 1 kHz sine, stepped in 2 dB",
                        "input level (dBFS, sine peak)", "output level (dBFS, sine peak)");
    outputPlot.SetX(kSweepFirstDb, 0.0, 10.0);
    outputPlot.SetY(std::max(std::floor(lowest / 10.0) * 10.0, -120.0), std::ceil(highest / 10.0) * 10.0, 10.0);
    outputPlot.PlaceLegendRight();
    const double seconds = static_cast<double>(input.Frames()) / rate;
    LinePlot timePlot(1200, 600, "Gain reduction over time: the demo music (drums, bass, voice; soft, then loud)",
                      "time (s)", "gain reduction (dB), 10 ms windows");
    timePlot.SetX(0.0, std::ceil(seconds), seconds > 20 ? 5.0 : 1.0);
    timePlot.SetY(0.0, std::ceil(mostOverTime / 5.0) * 5.0, 5.0);
    for (const SweepCurve& curve : curves) {
        if (!curve.problem.empty()) continue;
        sweepPlot.AddSeries(curve.setup.name, curve.setup.colour, levels, curve.reduction, curve.stroke);
        outputPlot.AddSeries(curve.setup.name, curve.setup.colour, levels, curve.outputDb, curve.stroke);
    }
    outputPlot.AddSeries("output = input", LICE::Rgba(170, 170, 170, 255), {kSweepFirstDb, 0.0}, {kSweepFirstDb, 0.0});
    for (const Result& r : results) {
        if (!r.problem.empty()) continue;
        std::vector<double> times;
        for (std::size_t w = 0; w < r.timeReduction.size(); ++w) {
            times.push_back((static_cast<double>(w) + 0.5) * kWindowSeconds);
        }
        timePlot.AddSeries(r.setup->name, r.setup->colour, times, r.timeReduction);
    }
    sweepPlot.Draw();
    outputPlot.Draw();
    timePlot.Draw();
    if (!sweepPlot.WritePng(options.outDir + "/gain-reduction-sweep.png", error) ||
        !outputPlot.WritePng(options.outDir + "/output-level-sweep.png", error) ||
        !timePlot.WritePng(options.outDir + "/gain-reduction-over-time.png", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
