#include "tools/kestrom/EditorCommand.h"

#include <algorithm>

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
    return png.Write(picture.width, picture.height, picture.rgb, error);
}

int RunEditor(const EditorOptions& options, Console& console) {
    std::string error;
    PngFile png(options.pngPath);
    if (!png.Open(error)) {
        return Fail(console, error);
    }

    kestrom::host::ModuleHost module;
    if (!module.Load(options.modulePath.empty() ? kestrom::host::ModuleHost::DefaultModulePath() : options.modulePath,
                     error)) {
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
    // Clicks must land on the editor, whose size the module tells.
    PI_Rect rect{};
    if (module.Routines().viewRect(plugin.Handle(), &rect) != PI_NoErr) {
        return Fail(console, "the plug-in has no editor to show");
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    for (const EditorOptions::Click& click : options.clicks) {
        if (click.x < 0 || click.y < 0 || click.x >= width || click.y >= height) {
            return Fail(console,
                        "click " + std::to_string(click.x) + "," + std::to_string(click.y) + " lies outside the " +
                            std::to_string(width) + " x " + std::to_string(height) + " editor",
                        kExitUsage);
        }
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
