#include "tools/kestrom/ProcessCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compressor/KestromParams.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/DescriptorIo.h"
#include "tools/kestrom/EditorCommand.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"
#include "tools/kestrom/FileIdentity.h"
#include "tools/kestrom/Interruption.h"
#include "tools/kestrom/MeterLog.h"
#include "tools/kestrom/PngFile.h"
#include "tools/kestrom/ProcessStats.h"
#include "tools/kestrom/ProgressBar.h"
#include "tools/kestrom/SoundFileReader.h"
#include "tools/kestrom/SoundFileWriter.h"

namespace kestrom::tool {

namespace {

// Files at least this long (in seconds of audio) get a progress bar on a terminal.
constexpr double kProgressMinSeconds = 60.0;
// Frames moved per read and write of the files: large enough that system
// calls cost nothing per frame, small enough to stay in the caches. The
// plug-in still gets its blocks of --block frames out of each chunk.
constexpr std::int64_t kChunkFrames = 16384;

int Fail(Console& console, const std::string& message, int status = kExitFailure) {
    console.err << "kestrom: " << message << std::endl;
    return status;
}

// Host control of parameter i, and the one of the master bypass.
constexpr int kFirstParamControl = 2;
constexpr int kBypassControl = 1;
// Width of the names and value texts in the summary.
constexpr int kTextWidth = 31;

// The settings as the host's controls show them.
std::string SettingsLine(const kestrom::host::HostedPlugin& plugin, int blockFrames) {
    std::string line = "settings:                ";
    for (int c = kFirstParamControl; c <= plugin.ControlCount(); ++c) {
        line += (c > kFirstParamControl ? ", " : "") + plugin.ControlName(c, kTextWidth) + " " +
                plugin.ValueText(c, plugin.ControlValue(c), kTextWidth);
    }
    PI_ControlInfo bypass{};
    if (plugin.ControlInfo(kBypassControl, bypass) && plugin.ControlValue(kBypassControl) > 0) {
        line += "; " + plugin.ControlName(kBypassControl, kTextWidth) + " " +
                plugin.ValueText(kBypassControl, plugin.ControlValue(kBypassControl), kTextWidth);
    }
    return line + "; blocks of " + std::to_string(blockFrames) + " frames\n";
}

// Refuses, before anything is read or created, a run in which two of the
// paths name one file: an output would replace the input, or two outputs
// would replace each other.
bool CheckDistinct(const ProcessOptions& options, std::string& error) {
    const std::vector<std::string> paths = {options.input,         options.output,
                                            options.meterPath,     options.editorPngPath,
                                            options.saveStatePath, options.settings.statePath};
    const char* const roles[] = {"the input",         "the output",
                                 "the --meter file",  "the --editor-png file",
                                 "the --save-state file", "the --state file"};
    std::size_t a = 0, b = 0;
    if (!FileIdentity::FindClash(paths, a, b)) {
        return true;
    }
    error = "'" + paths[a] + "' (" + roles[a] + ") and '" + paths[b] + "' (" + roles[b] + ") name the same file";
    return false;
}

// Reads until `frames` frames are in or the file ends, so that a short read
// (a pipe) never moves a block boundary. The count, or -1 on an error.
std::int64_t ReadChunk(SoundFileReader& reader, float* samples, std::int64_t frames, std::string& error) {
    std::int64_t have = 0;
    while (have < frames && !Interruption::Requested()) {
        const std::int64_t got = reader.ReadInterleaved(samples + have * reader.Channels(), frames - have, error);
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        have += got;
    }
    return have;
}

// The buffers of one chunk: the file's interleaved samples in and out, and
// one buffer per channel for the plug-in.
struct ChunkBuffers {
    ChunkBuffers(int channels, std::int64_t frames)
        : fileIn(static_cast<std::size_t>(frames * channels)), fileOut(fileIn.size()) {
        for (int c = 0; c < channels; ++c) {
            in.emplace_back(static_cast<std::size_t>(frames));
            out.emplace_back(static_cast<std::size_t>(frames));
        }
    }
    // Points inPointers/outPointers (one entry per channel) at frame `offset`.
    void PointAt(std::int64_t offset, float** inPointers, float** outPointers) {
        for (std::size_t c = 0; c < in.size(); ++c) {
            inPointers[c] = in[c].data() + offset;
            outPointers[c] = out[c].data() + offset;
        }
    }

    std::vector<float> fileIn;
    std::vector<float> fileOut;
    std::vector<std::vector<float>> in;
    std::vector<std::vector<float>> out;
};

// The plug-in's state as the host saves it (the chunk, header included),
// into the prepared output.
bool WriteState(const kestrom::host::HostedPlugin& plugin, OutputFile& file, std::string& error) {
    std::vector<unsigned char> chunk;
    if (!plugin.SaveChunk(chunk, error)) {
        return false;
    }
    // The temporary file is new: the chunk is all of it, from its start.
    errno = 0;
    if (!DescriptorIo::TransferAll(file.Descriptor(), chunk.data(), static_cast<std::int64_t>(chunk.size()), 0, true)) {
        error = "error writing '" + file.Target() + "'" + (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
        return false;
    }
    return true;
}

}  // namespace

int RunProcess(const ProcessOptions& options, Console& console) {
    std::string error;
    if (!CheckDistinct(options, error)) {
        return Fail(console, error + "; choose another output", kExitUsage);
    }
    SoundFileReader reader;
    if (!reader.Open(options.input, error)) {
        return Fail(console, error);
    }
    const int channels = reader.Channels();
    if (channels != 1 && channels != 2) {
        return Fail(console, "'" + options.input + "' has " + std::to_string(channels) +
                                 " channels; only mono and stereo files can be processed");
    }

    // Every output's place is checked and its temporary file made before
    // any work is done.
    SoundFileWriter writer(options.output);
    const int format = SoundFileWriter::ChooseFormat(options.keepFormat ? reader.Format() : SoundFileWriter::kFloatWav,
                                                     channels, reader.Frames());
    if (!writer.Open(format, channels, reader.SampleRate(), error)) {
        return Fail(console, error);
    }
    std::vector<OutputFile*> outputs = {&writer.File()};
    std::unique_ptr<MeterLog> meterLog;
    if (!options.meterPath.empty()) {
        meterLog = std::make_unique<MeterLog>(options.meterPath);
        if (!meterLog->Open(error)) {
            return Fail(console, error);
        }
        outputs.push_back(&meterLog->File());
    }
    std::unique_ptr<PngFile> editorPng;
    if (!options.editorPngPath.empty()) {
        editorPng = std::make_unique<PngFile>(options.editorPngPath);
        if (!editorPng->Open(error)) {
            return Fail(console, error);
        }
        outputs.push_back(&editorPng->File());
    }

    std::unique_ptr<OutputFile> saveState;
    if (!options.saveStatePath.empty()) {
        saveState = std::make_unique<OutputFile>(options.saveStatePath);
        if (!saveState->Prepare(error)) {
            return Fail(console, error);
        }
        outputs.push_back(saveState.get());
    }

    // The plug-in, as a host has it: the module loaded beside the host's own
    // libraries, the engine asked for blocks of --block frames at most, an
    // instance of the type for the file's channels.
    kestrom::host::ModuleHost module;
    if (!module.Load(options.modulePath.empty() ? kestrom::host::ModuleHost::DefaultModulePath() : options.modulePath,
                     error)) {
        return Fail(console, error);
    }
    module.SetEngineQuantum(options.blockFrames);
    PI_EffectTypeInfo type{};
    if (!module.FindTypeForChannels(channels, type, error)) {
        return Fail(console, error);
    }
    kestrom::host::HostedPlugin plugin(module);
    if (!plugin.Create(type.typeId, reader.SampleRate(), error)) {
        return Fail(console, error);
    }
    bool usageError = false;
    if (!options.settings.Apply(plugin, error, usageError)) {
        return Fail(console, error, usageError ? kExitUsage : kExitFailure);
    }
    if (saveState && !WriteState(plugin, *saveState, error)) {
        return Fail(console, error);
    }

    const std::int64_t block = options.blockFrames;
    const std::int64_t chunk = std::max<std::int64_t>(block, kChunkFrames / block * block);  // whole blocks
    ChunkBuffers buffers(channels, chunk);

    ProcessStats stats;
    const bool longFile = static_cast<double>(reader.Frames()) >= kProgressMinSeconds * reader.SampleRate();
    ProgressBar progress(console.err, reader.Frames(), console.errIsTerminal && longFile);
    for (;;) {
        const std::int64_t frames = ReadChunk(reader, buffers.fileIn.data(), chunk, error);
        if (Interruption::Requested()) {
            progress.Finish();
            return Interruption::Report(console.err, options.output);
        }
        if (frames < 0) {
            progress.Finish();
            return Fail(console, error);
        }
        if (frames == 0) {
            break;
        }
        float* in[2] = {nullptr, nullptr};
        float* out[2] = {nullptr, nullptr};
        buffers.PointAt(0, in, out);
        stats.Input().Deinterleave(buffers.fileIn.data(), channels, frames, in);
        for (std::int64_t offset = 0; offset < frames; offset += block) {
            const int count = static_cast<int>(std::min(block, frames - offset));
            buffers.PointAt(offset, in, out);
            std::optional<double> meter;
            kestrom::host::HostedPlugin::MeterReading before, after;
            const bool metered = plugin.Meter(0, before);
            if (!plugin.Render(in, out, count, error)) {
                progress.Finish();
                return Fail(console, error);
            }
            // The block handed the meter a value when its count moved on.
            if (metered && plugin.Meter(0, after) && after.updates != before.updates) {
                meter = after.value;
            }
            stats.AddMeter(meter, count);
            if (meterLog && !meterLog->Add(meter, error)) {
                progress.Finish();
                return Fail(console, error);
            }
        }
        buffers.PointAt(0, in, out);
        stats.Output().Interleave(out, channels, frames, buffers.fileOut.data());
        if (!writer.WriteInterleaved(buffers.fileOut.data(), frames, error)) {
            progress.Finish();
            return Interruption::Requested() ? Interruption::Report(console.err, options.output) : Fail(console, error);
        }
        progress.Update(stats.Frames());
    }
    progress.Finish();

    // The editor as the host shows it now, the needle where the audio left it.
    if (editorPng && !WriteHostedEditor(module, plugin, {}, *editorPng, error)) {
        return Fail(console, error);
    }
    if (!writer.Finish(error) || (meterLog && !meterLog->Finish(error)) ||
        !OutputFile::CommitAll(outputs, options.sync, error)) {
        return Interruption::Requested() ? Interruption::Report(console.err, options.output) : Fail(console, error);
    }
    if (!options.quiet) {
        console.out << "input:                   " << options.input << "\n"
                    << "output:                  " << options.output << "\n"
                    << SettingsLine(plugin, options.blockFrames) << stats.Report(reader.SampleRate())
                    << std::flush;
    }
    return kExitOk;
}

}  // namespace kestrom::tool
