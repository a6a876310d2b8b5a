#include "tools/kestrom/CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <array>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/kestrom/DemoCommand.h"
#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/ProcessCommand.h"
#include "tools/kestrom/ProcessOptions.h"

namespace kestrom::tool {

namespace {

// Accepts finite decimal numbers only: "nan" or "inf" would poison every
// sample after them.
CLI::Validator FiniteNumber(const std::string& name) {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            errno = 0;
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) {
                return "'" + text + "' is not a finite number";
            }
            return {};
        },
        name);
}

// One line: CLI11's messages are single sentences, but make sure.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, Console& console) {
    CLI::App app{"Kestrom compressor: offline processing of audio files", "kestrom"};
    app.require_subcommand(1);

    ProcessOptions process;
    CLI::App* processCmd = app.add_subcommand(
        "process", "Run an audio file (mono or stereo, any format libsndfile reads) through the compressor");
    processCmd->add_option("INPUT", process.input, "input audio file")->required();
    processCmd->add_option("OUTPUT", process.output, "output file (32-bit float WAV unless --keep-format)")
        ->required();
    // One option per parameter, named in the parameter table: a number for a
    // knob, a flag that switches on for a switch that is off by default, and
    // "on"/"off" for a switch that is on by default (Power).
    std::array<double, kNumParams> knobValues{};
    std::array<bool, kNumParams> flagValues{};
    std::array<std::string, kNumParams> switchTexts{};
    std::array<CLI::Option*, kNumParams> paramOptions{};
    for (int i = 0; i < kNumParams; ++i) {
        const ParamSpec& spec = kParamTable[i];
        const std::string option = std::string("--") + spec.cliName;
        char help[128];
        if (spec.kind == IPlugParam::Continuous) {
            std::snprintf(help, sizeof help, "%s in %s, %g to %g (default %g)", spec.name, spec.unit, spec.minimum,
                          spec.maximum, spec.defaultValue);
            paramOptions[i] = processCmd->add_option(option, knobValues[i], help)->check(FiniteNumber(spec.unit));
        } else if (spec.defaultValue == 0.0) {
            std::snprintf(help, sizeof help, "switch %s on", spec.name);
            paramOptions[i] = processCmd->add_flag(option, flagValues[i], help);
        } else {
            std::snprintf(help, sizeof help, "%s on or off (default on)", spec.name);
            paramOptions[i] =
                processCmd->add_option(option, switchTexts[i], help)->check(CLI::IsMember({"on", "off"}));
        }
    }
    processCmd
        ->add_option("--block", process.blockFrames, "frames per block (default 512)")
        ->check(CLI::Range(1, ProcessOptions::kMaxBlockFrames));
    processCmd->add_option("--meter", process.meterPath, "write the meter value of every block to FILE");
    processCmd->add_flag("--keep-format", process.keepFormat, "write the input's file format");
    processCmd->add_flag("-q,--quiet", process.quiet, "print no summary");

    std::string demoPath;
    double demoSeconds = DemoSignal::kDefaultSeconds;
    int demoRate = DemoSignal::kDefaultSampleRate;
    CLI::App* demoCmd =
        app.add_subcommand("generate-demo", "Write the built-in stereo test music (drums, bass, voice) as float WAV");
    demoCmd->add_option("OUTPUT", demoPath, "output file")->required();
    demoCmd->add_option("--seconds", demoSeconds, "length (default 8)")->check(CLI::Range(0.0, 600.0));
    demoCmd->add_option("--rate", demoRate, "sample rate in Hz (default 48000)")->check(CLI::Range(8000, 192000));

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, console.out, console.err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, console.out, console.err);
    } catch (const CLI::ParseError& e) {
        console.err << "kestrom: " << OneLine(e.what()) << " (see kestrom --help)" << std::endl;
        return kExitUsage;
    }

    if (processCmd->parsed()) {
        for (int i = 0; i < kNumParams; ++i) {
            if (paramOptions[i]->count() == 0) {
                continue;
            }
            if (kParamTable[i].kind == IPlugParam::Continuous) {
                process.params[i] = knobValues[i];
            } else if (kParamTable[i].defaultValue == 0.0) {
                process.params[i] = flagValues[i] ? 1.0 : 0.0;
            } else {
                process.params[i] = switchTexts[i] == "on" ? 1.0 : 0.0;
            }
        }
        return RunProcess(process, console);
    }
    return RunGenerateDemo(demoPath, demoSeconds, demoRate, console);
}

}  // namespace kestrom::tool
