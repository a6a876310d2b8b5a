#include "tools/kestrom/EditorCommand.h"

#include <algorithm>

#include "compressor/KestromEditor.h"
#include "graphics/LICE_MemBitmap.h"
#include "tools/host/HostedEditor.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/PluginSettings.h"
#include "tools/kestrom/PngFile.h"
#include "tools/kestrom/ProcessStats.h"

namespace kestrom::tool {

namespace {

// The editor does not depend on the rate; the instance needs one.
constexpr int32_t kSampleRate = 48000;
constexpr int kStereo = 2;
constexpr int kGainReductionMeter = 0;

int Fail(Console& console, const std::string& message, int status = kExitFailure) {
    console.err << "kestrom: " << message << std::endl;
    return status;
}

}  // namespace

double NeedleValueForReduction(double reductionDb) {
    return std::min(std::max(reductionDb / ProcessStats::kMeterFullScaleDb, 0.0), 1.0);
}

bool WriteHostedEditor(const kestrom::host::ModuleHost& module, const kestrom::host::HostedPlugin& plugin,
                       const std::vector<EditorOptions::Click>& clicks, PngFile& png, std::string& error) {
    kestrom::host::HostedEditor editor(module, plugin);
    if (!editor.Open(error) || !editor.Settle(error)) return false;
    for (const EditorOptions::Click& click : clicks) {
        if (!editor.Click(click.x, click.y, error) || !editor.Settle(error)) return false;
    }
    kestrom::host::HostedEditor::Picture picture;
    if (!editor.Capture(picture, error)) return false;
    LICE_MemBitmap bitmap(picture.width, picture.height);
    if (bitmap.Width() != picture.width || bitmap.Height() != picture.height || bitmap.Pixels() == nullptr) {
        error = "no memory for the editor's picture";
        return false;
    }
    for (int y = 0; y < picture.height; ++y) {
        LICE_pixel* row = bitmap.Pixels() + static_cast<std::ptrdiff_t>(y) * bitmap.RowSpan();
        const unsigned char* rgb = picture.rgb.data() + static_cast<std::size_t>(y) * picture.width * 3;
        for (int x = 0; x < picture.width; ++x, rgb += 3)
            row[x] = 0xFF000000u | static_cast<LICE_pixel>(rgb[0]) << 16 | static_cast<LICE_pixel>(rgb[1]) << 8 | rgb[2];
    }
    return png.Write(bitmap, error);
}

int RunEditor(const EditorOptions& options, Console& console) {
    for (const EditorOptions::Click& click : options.clicks) {
        if (click.x < 0 || click.y < 0 || click.x >= editor::kWidth || click.y >= editor::kHeight) {
            return Fail(console, "click " + std::to_string(click.x) + "," + std::to_string(click.y) +
                                     " lies outside the " + std::to_string(editor::kWidth) + " x " +
                                     std::to_string(editor::kHeight) + " editor",
                        kExitUsage);
        }
    }
    std::string error;
    PngFile png(options.pngPath);
    if (!png.Open(error)) {
        return Fail(console, error);
    }

    kestrom::host::ModuleHost module;
    if (!module.Load(kestrom::host::ModuleHost::DefaultModulePath(), error)) {
        return Fail(console, error);
    }
    PI_EffectTypeInfo type{};
    kestrom::host::HostedPlugin plugin(module);
    if (!module.FindTypeForChannels(kStereo, type, error) || !plugin.Create(type.typeId, kSampleRate, error)) {
        return Fail(console, error);
    }
    PluginSettings settings;
    settings.params = options.params;
    bool usageError = false;
    if (!settings.Apply(plugin, error, usageError)) {
        return Fail(console, error, usageError ? kExitUsage : kExitFailure);
    }
    if (options.reductionDb &&
        !plugin.ShowMeter(kGainReductionMeter, NeedleValueForReduction(*options.reductionDb))) {
        return Fail(console, "the plug-in has no gain-reduction meter to show");
    }
    if (!WriteHostedEditor(module, plugin, options.clicks, png, error) ||
        !OutputFile::CommitAll({&png.File()}, true, error)) {
        return Fail(console, error);
    }
    return kExitOk;
}

}  // namespace kestrom::tool
