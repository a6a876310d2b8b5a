#include "tools/kestrom/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <array>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "compressor/KestromVersion.h"
#include "tools/host/ModuleLayout.h"
#include "tools/kestrom/DemoCommand.h"
#include "tools/kestrom/DemoSignal.h"
#include "tools/kestrom/EditorCommand.h"
#include "tools/kestrom/EditorOptions.h"
#include "tools/kestrom/InfoCommand.h"
#include "tools/kestrom/OneLine.h"
#include "tools/kestrom/ProcessCommand.h"
#include "tools/kestrom/ProcessOptions.h"

namespace kestrom::tool {

namespace {

// Accepts finite decimal numbers only: "nan" or "inf" would poison every
// sample after them. A number too small for a double (1e-400) is as good as
// 0 and accepted; one too large is not.
CLI::Validator FiniteNumber(const std::string& name) {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            errno = 0;
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            const bool overflow = errno == ERANGE && std::fabs(value) > 1.0;
            if (text.empty() || end != text.c_str() + text.size() || overflow || !std::isfinite(value)) {
                return "'" + text + "' is not a finite number";
            }
            return {};
        },
        name);
}

// A whole decimal number, said before its range is checked: "12abc" is not
// a number at all, whatever its range.
CLI::Validator WholeNumber() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            errno = 0;
            char* end = nullptr;
            std::strtoll(text.c_str(), &end, 10);
            if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE) {
                return "'" + text + "' is not a whole number";
            }
            return {};
        },
        "INT");
}

// A file name must name something: an empty one is a mistake, not "none".
CLI::Validator NonEmptyPath() {
    return CLI::Validator(
        [](std::string& text) -> std::string { return text.empty() ? "an empty file name" : std::string(); },
        "FILE");
}

// "X,Y": two whole numbers separated by a comma, nothing else.
bool ParseClick(const std::string& text, EditorOptions::Click& click) {
    const auto comma = text.find(',');
    if (comma == std::string::npos || comma == 0 || comma + 1 >= text.size()) {
        return false;
    }
    const std::string parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
    long values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        errno = 0;
        char* end = nullptr;
        values[i] = std::strtol(parts[i].c_str(), &end, 10);
        if (parts[i].empty() || end != parts[i].c_str() + parts[i].size() || errno == ERANGE || values[i] < INT_MIN ||
            values[i] > INT_MAX) {
            return false;
        }
    }
    click.x = static_cast<int>(values[0]);
    click.y = static_cast<int>(values[1]);
    return true;
}

// "NAME=TEXT": a control's name and the text typed into it.
CLI::Validator ControlAssignment() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            PluginSettings::ControlText control;
            return PluginSettings::ParseControlText(text, control) ? std::string()
                                                                   : "'" + text + "' is not NAME=TEXT";
        },
        "NAME=TEXT");
}

CLI::Validator ClickPosition() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            EditorOptions::Click click;
            return ParseClick(text, click) ? std::string() : "'" + text + "' is not a position X,Y";
        },
        "X,Y");
}

// One option per parameter, named in the parameter table: a number for a
// knob, a flag that switches on for a switch that is off by default, and
// "on"/"off" for a switch that is on by default (Power). `process` and
// `editor` take the same set.
class ParamOptions {
public:
    void AddTo(CLI::App* command) {
        for (int i = 0; i < kNumParams; ++i) {
            const ParamDef& def = kParamTable[i];
            const std::string option = std::string("--") + def.cliName;
            char help[128];
            if (def.kind == IPlugParam::Continuous) {
                std::snprintf(help, sizeof help, "%s in %s, %g to %g (default %g)", def.name, def.unit,
                              def.minimum, def.maximum, def.defaultValue);
                options_[i] = command->add_option(option, knobValues_[i], help)->check(FiniteNumber(def.unit));
            } else if (def.defaultValue == 0.0) {
                std::snprintf(help, sizeof help, "switch %s on", def.name);
                options_[i] = command->add_flag(option, flagValues_[i], help);
            } else {
                std::snprintf(help, sizeof help, "%s on or off (default on)", def.name);
                options_[i] =
                    command->add_option(option, switchTexts_[i], help)->check(CLI::IsMember({"on", "off"}));
            }
        }
    }

    // The values given, in real units; parameters not named stay unset.
    void Collect(std::array<std::optional<double>, kNumParams>& params) const {
        for (int i = 0; i < kNumParams; ++i) {
            if (options_[i]->count() == 0) {
                continue;
            }
            if (kParamTable[i].kind == IPlugParam::Continuous) {
                params[i] = knobValues_[i];
            } else if (kParamTable[i].defaultValue == 0.0) {
                params[i] = flagValues_[i] ? 1.0 : 0.0;
            } else {
                params[i] = switchTexts_[i] == "on" ? 1.0 : 0.0;
            }
        }
    }

private:
    std::array<double, kNumParams> knobValues_{};
    std::array<bool, kNumParams> flagValues_{};
    std::array<std::string, kNumParams> switchTexts_{};
    std::array<CLI::Option*, kNumParams> options_{};
};

}  // namespace

namespace {

int RunCommands(int argc, const char* const* argv, Console& console) {
    CLI::App app{"Kestrom compressor: offline processing of audio files and pictures of its editor", "kestrom"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("kestrom ") + KestromVersion::kText, "print the version and exit");

    const std::string moduleHelp =
        std::string("the plug-in module to load (default: ") + kestrom::host::ModuleLayout::kDefaultModuleText + ")";

    ProcessOptions process;
    CLI::App* processCmd = app.add_subcommand(
        "process", "Run an audio file (mono or stereo, any format libsndfile reads) through the compressor");
    processCmd->add_option("INPUT", process.input, "input audio file")->required()->check(NonEmptyPath());
    processCmd->add_option("OUTPUT", process.output, "output file (32-bit float WAV unless --keep-format)")
        ->required()
        ->check(NonEmptyPath());
    ParamOptions processParams;
    processParams.AddTo(processCmd);
    processCmd
        ->add_option("--block", process.blockFrames, "frames per block (default 512)")
        ->check(WholeNumber())
        ->check(CLI::Range(1, ProcessOptions::kMaxBlockFrames));
    processCmd->add_option("--meter", process.meterPath, "write the meter value of every block to FILE")
        ->check(NonEmptyPath());
    processCmd
        ->add_option("--editor-png", process.editorPngPath,
                     "write the editor as it stands after processing (needle included) as a PNG")
        ->check(NonEmptyPath());
    processCmd->add_option("--module", process.modulePath, moduleHelp)
        ->check(NonEmptyPath());
    processCmd->add_option("--state", process.settings.statePath, "restore the plug-in's saved state (host chunk) from FILE first")
        ->check(NonEmptyPath());
    processCmd->add_option("--save-state", process.saveStatePath, "save the plug-in's state (host chunk) as set up to FILE")
        ->check(NonEmptyPath());
    std::vector<std::string> controlTexts;
    processCmd
        ->add_option("--control", controlTexts,
                     "set host control NAME to TEXT as typed into the host (repeatable; see kestrom info)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(ControlAssignment());
    processCmd->add_flag("--bypass", process.settings.bypass, "turn the host's master bypass on");
    processCmd->add_flag("--keep-format", process.keepFormat, "write the input's file format");
    processCmd->add_flag("-q,--quiet", process.quiet, "print no summary");
    bool processNoSync = false;
    processCmd->add_flag("--no-sync", processNoSync,
                         "do not wait for the outputs to reach the disk (faster; for scratch work)");

    EditorOptions editor;
    CLI::App* editorCmd = app.add_subcommand(
        "editor", "Draw the plug-in's editor (298 x 400) with the given settings, needle and clicks into a PNG");
    editorCmd->add_option("--png", editor.pngPath, "PNG file to write")->required()->check(NonEmptyPath());
    editorCmd->add_option("--module", editor.modulePath, moduleHelp)
        ->check(NonEmptyPath());
    ParamOptions editorParams;
    editorParams.AddTo(editorCmd);
    double reductionDb = 0.0;
    CLI::Option* reductionOption =
        editorCmd->add_option("--reduction", reductionDb, "gain reduction the needle shows, in dB (0 to 22)")
            ->check(FiniteNumber("dB"));
    std::vector<std::string> clickTexts;
    editorCmd
        ->add_option("--click", clickTexts, "left click at X,Y in editor pixels; repeat for more, applied in order")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(ClickPosition());

    std::string infoModule;
    CLI::App* infoCmd = app.add_subcommand(
        "info", "List what the plug-in module registers and every host control of an instance");
    infoCmd->add_option("--module", infoModule, moduleHelp)
        ->check(NonEmptyPath());

    std::string demoPath;
    double demoSeconds = DemoSignal::kDefaultSeconds;
    int demoRate = DemoSignal::kDefaultSampleRate;
    CLI::App* demoCmd =
        app.add_subcommand("generate-demo", "Write the built-in stereo test music (drums, bass, voice) as float WAV");
    demoCmd->add_option("OUTPUT", demoPath, "output file")->required()->check(NonEmptyPath());
    demoCmd->add_option("--seconds", demoSeconds, "length (default 8)")
        ->check(FiniteNumber("seconds"))
        ->check(CLI::Range(0.0, 600.0));
    demoCmd->add_option("--rate", demoRate, "sample rate in Hz (default 48000)")
        ->check(WholeNumber())
        ->check(CLI::Range(8000, 192000));
    bool demoNoSync = false;
    demoCmd->add_flag("--no-sync", demoNoSync, "do not wait for the file to reach the disk");

    // A first word that is neither an option nor a command is a mistyped
    // command; say so rather than that a command is missing.
    if (argc > 1 && argv[1][0] != '-' && app.get_subcommands([&](CLI::App* command) {
                                             return command->get_name() == argv[1];
                                         }).empty()) {
        console.err << "kestrom: '" << argv[1]
                    << "' is not a command; the commands are process, editor, info and generate-demo (see kestrom --help)"
                    << std::endl;
        return kExitUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, console.out, console.err);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e, console.out, console.err);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, console.out, console.err);
    } catch (const CLI::ParseError& e) {
        console.err << "kestrom: " << OneLine(e.what()) << " (see kestrom --help)" << std::endl;
        return kExitUsage;
    }

    if (processCmd->parsed()) {
        processParams.Collect(process.settings.params);
        for (const std::string& text : controlTexts) {
            PluginSettings::ControlText control;
            PluginSettings::ParseControlText(text, control);  // checked while parsing
            process.settings.controls.push_back(control);
        }
        process.sync = !processNoSync;
        return RunProcess(process, console);
    }
    if (infoCmd->parsed()) {
        return RunInfo(infoModule, console);
    }
    if (editorCmd->parsed()) {
        editorParams.Collect(editor.params);
        if (reductionOption->count() > 0) {
            editor.reductionDb = reductionDb;
        }
        for (const std::string& text : clickTexts) {
            EditorOptions::Click click;
            ParseClick(text, click);  // checked while parsing
            editor.clicks.push_back(click);
        }
        return RunEditor(editor, console);
    }
    return RunGenerateDemo(demoPath, demoSeconds, demoRate, !demoNoSync, console);
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv, Console& console) {
    // Failures are return values throughout; should anything still throw
    // (memory exhausted, a library's own exception), the unwinding removes the
    // outputs' temporary files and the run ends with one line and status 1,
    // never with an abort.
    try {
        return RunCommands(argc, argv, console);
    } catch (const std::bad_alloc&) {
        console.err << "kestrom: out of memory" << std::endl;
    } catch (const std::exception& e) {
        console.err << "kestrom: " << OneLine(e.what()) << std::endl;
    } catch (...) {
        console.err << "kestrom: unexpected internal error" << std::endl;
    }
    return kExitFailure;
}

}  // namespace kestrom::tool
