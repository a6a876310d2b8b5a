#include "tools/kestrom/EditorCommand.h"

#include <algorithm>

#include "compressor/KestromEditor.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "tools/kestrom/CommandLine.h"
#include "tools/kestrom/PluginRunner.h"
#include "tools/kestrom/PngFile.h"
#include "tools/kestrom/ProcessStats.h"

namespace kestrom::tool {

namespace {

// Every control of this editor is clean after two passes (a changed value
// draws twice); the bound only guards against a control that never settles.
constexpr int kMaxSettleTicks = 64;

int Fail(Console& console, const std::string& message, int status = kExitFailure) {
    console.err << "kestrom: " << message << std::endl;
    return status;
}

}  // namespace

double NeedleValueForReduction(double reductionDb) {
    return std::min(std::max(reductionDb / ProcessStats::kMeterFullScaleDb, 0.0), 1.0);
}

bool SettleEditor(IGraphicsHeadless& editor, std::string& error) {
    if (!editor.IsWindowOpen() && editor.OpenWindow(nullptr) == nullptr) {
        error = "cannot open the editor's window";
        return false;
    }
    for (int tick = 0; tick < kMaxSettleTicks; ++tick) {
        IBounds dirty;
        // A tick that finishes a text entry draws nothing, so a quiet tick
        // only ends the loop when nothing is left to draw either.
        if (!editor.Tick() && !editor.CollectDirtyArea(dirty)) {
            break;
        }
    }
    return true;
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

    PluginRunner runner;
    for (int i = 0; i < kNumParams; ++i) {
        const std::optional<double>& value = options.params[static_cast<std::size_t>(i)];
        if (value) {
            runner.SetParameter(i, *value);
        }
    }
    IGraphicsHeadless* editor = runner.Editor();
    if (editor == nullptr) {
        return Fail(console, "the plug-in has no editor to show");
    }
    if (options.reductionDb) {
        editor->SetParameterFromPlugin(kMeterIndex, NeedleValueForReduction(*options.reductionDb), true);
    }
    if (!SettleEditor(*editor, error)) {
        return Fail(console, error);
    }
    for (const EditorOptions::Click& click : options.clicks) {
        editor->Click(click.x, click.y);
        // Drawn before the next click: what a click reaches can depend on what
        // was last drawn (the overlay's mouse area).
        SettleEditor(*editor, error);
    }
    if (!png.WriteAndCommit(*editor->Screen(), error)) {
        return Fail(console, error);
    }
    return kExitOk;
}

}  // namespace kestrom::tool
