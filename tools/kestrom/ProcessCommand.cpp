#include "tools/kestrom/ProcessCommand.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "compressor/KestromParams.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/EditorCommand.h"
#include "tools/kestrom/Interruption.h"
#include "tools/kestrom/MeterLog.h"
#include "tools/kestrom/PluginRunner.h"
#include "tools/kestrom/PngFile.h"
#include "tools/kestrom/ProcessStats.h"
#include "tools/kestrom/ProgressBar.h"
#include "tools/kestrom/SoundFileReader.h"
#include "tools/kestrom/SoundFileWriter.h"

namespace kestrom::tool {

namespace {

// Files at least this long (in seconds of audio) get a progress bar on a terminal.
constexpr double kProgressMinSeconds = 60.0;

int Fail(Console& console, const std::string& message) {
    console.err << "kestrom: " << message << std::endl;
    return kExitFailure;
}

void ApplyOptions(const ProcessOptions& options, PluginRunner& runner) {
    for (int i = 0; i < kNumParams; ++i) {
        if (options.params[i]) {
            runner.SetParameter(i, *options.params[i]);
        }
    }
}

std::string SettingsLine(const PluginRunner& runner, int blockFrames) {
    std::string line = "settings:                ";
    for (int i = 0; i < runner.ParameterCount(); ++i) {
        line += (i > 0 ? ", " : "") + runner.ParameterName(i) + " " + runner.ParameterText(i);
    }
    return line + "; blocks of " + std::to_string(blockFrames) + " frames\n";
}

}  // namespace

int RunProcess(const ProcessOptions& options, Console& console) {
    std::string error;
    SoundFileReader reader;
    if (!reader.Open(options.input, error)) {
        return Fail(console, error);
    }
    const int channels = reader.Channels();
    if (channels != 1 && channels != 2) {
        return Fail(console, "'" + options.input + "' has " + std::to_string(channels) +
                                 " channels; only mono and stereo files can be processed");
    }

    SoundFileWriter writer(options.output);
    const int format = SoundFileWriter::ChooseFormat(options.keepFormat ? reader.Format() : SoundFileWriter::kFloatWav,
                                                     channels, reader.Frames());
    if (!writer.Open(format, channels, reader.SampleRate(), error)) {
        return Fail(console, error);
    }
    std::unique_ptr<MeterLog> meterLog;
    if (!options.meterPath.empty()) {
        meterLog = std::make_unique<MeterLog>(options.meterPath);
        if (!meterLog->Open(error)) {
            return Fail(console, error);
        }
    }

    std::unique_ptr<PngFile> editorPng;
    if (!options.editorPngPath.empty()) {
        editorPng = std::make_unique<PngFile>(options.editorPngPath);
        if (!editorPng->Open(error)) {
            return Fail(console, error);
        }
    }

    PluginRunner runner;
    runner.Prepare(reader.SampleRate(), channels, options.blockFrames);
    ApplyOptions(options, runner);

    const auto block = static_cast<std::size_t>(options.blockFrames);
    std::vector<std::vector<float>> input(static_cast<std::size_t>(channels), std::vector<float>(block));
    std::vector<std::vector<float>> output(static_cast<std::size_t>(channels), std::vector<float>(block));
    std::vector<float*> inputs, outputs;
    for (int c = 0; c < channels; ++c) {
        inputs.push_back(input[static_cast<std::size_t>(c)].data());
        outputs.push_back(output[static_cast<std::size_t>(c)].data());
    }

    ProcessStats stats;
    const bool longFile = static_cast<double>(reader.Frames()) >= kProgressMinSeconds * reader.SampleRate();
    ProgressBar progress(console.err, reader.Frames(), console.errIsTerminal && longFile);
    for (;;) {
        if (Interruption::Requested()) {
            progress.Finish();
            return Fail(console, "interrupted; '" + options.output + "' not written");
        }
        const std::int64_t frames = reader.Read(inputs.data(), options.blockFrames, error);
        if (frames < 0) {
            progress.Finish();
            return Fail(console, error);
        }
        if (frames == 0) {
            break;
        }
        const auto count = static_cast<int>(frames);
        const std::optional<double> meter = runner.RunBlock(inputs.data(), outputs.data(), count);
        stats.AddInput(inputs.data(), channels, frames);
        stats.AddOutput(outputs.data(), channels, frames);
        stats.AddMeter(meter, frames);
        if (!writer.Write(outputs.data(), frames, error) || (meterLog && !meterLog->Add(meter, error))) {
            progress.Finish();
            return Fail(console, error);
        }
        progress.Update(stats.Frames());
    }
    progress.Finish();

    if (editorPng) {
        // The needle's last hand-off is still in the editor's mailbox; the
        // first tick applies it, so the picture shows where the audio left it.
        IGraphicsHeadless* editor = runner.Editor();
        if (editor == nullptr) {
            return Fail(console, "the plug-in has no editor to show");
        }
        if (!SettleEditor(*editor, error)) {
            return Fail(console, error);
        }
    }
    if (!writer.Commit(error) || (meterLog && !meterLog->Commit(error)) ||
        (editorPng && !editorPng->WriteAndCommit(*runner.Editor()->Screen(), error))) {
        return Fail(console, error);
    }
    if (!options.quiet) {
        console.out << "input:                   " << options.input << "\n"
                    << "output:                  " << options.output << "\n"
                    << SettingsLine(runner, options.blockFrames) << stats.Report(reader.SampleRate())
                    << std::flush;
    }
    return kExitOk;
}

}  // namespace kestrom::tool
