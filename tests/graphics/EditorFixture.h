#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IPlugBase.h"
#include "graphics/IBitmapCache.h"
#include "graphics/LICE_Blit.h"
#include "graphics/LICE_MemBitmap.h"
#include "graphics/controls/IControl.h"
#include "graphics/headless/IGraphicsHeadless.h"

// A plug-in with one parameter of each kind, recording what the editor tells
// it: 0 "Gain" continuous -20..20 dB, 1 "Power" switch (off/on), 2 "Mode"
// list of three ("Soft", "Medium", "Hard"), 3 "Steps" integer 0..10.
class EditorTestPlugin : public IPlugBase {
public:
    enum { kGain, kPower, kMode, kSteps, kNumParams };
    static constexpr int kMeter = 8;  // no parameter: a display value

    explicit EditorTestPlugin(int apiKind = 3)
        : IPlugBase(kNumParams, "1-1 2-2", 1, "EditorTest", "", "Maker", 0x00010000, 0x45645473, 0x4D6B7231, 0,
                    false, false, false, apiKind) {
        Param(kGain)->DefineContinuous("Gain", 0.0, -20.0, 20.0, 0.1, "dB");
        Param(kPower)->DefineSwitch("Power", true);
        Param(kMode)->DefineList("Mode", 0, 3);
        Param(kMode)->AddValueText(0, "Soft");
        Param(kMode)->AddValueText(1, "Medium");
        Param(kMode)->AddValueText(2, "Hard");
        Param(kSteps)->DefineInteger("Steps", 0, 0, 10);
    }

    void BeginParamGesture(int index) override { events.push_back("begin " + std::to_string(index)); }
    void TellHostParamValue(int index, double) override { events.push_back("value " + std::to_string(index)); }
    void EndParamGesture(int index) override { events.push_back("end " + std::to_string(index)); }
    void TellHostAllParams() override {}
    int HostSamplePosition() override { return 0; }
    double HostTempo() override { return 120.0; }
    void HostTimeSignature(int*, int*) override {}
    void HostTransport(HostTimeRecord*) override {}
    void EditorResized(int w, int h) override { events.push_back("resized " + std::to_string(w) + "x" + std::to_string(h)); }
    bool SendMidiEvent(const IMidiEvent&) override { return false; }
    void HostParamMenu(int index, int, int) override { events.push_back("menu " + std::to_string(index)); }

    std::vector<std::string> events;
};

// A control that fills its area with one colour and logs each drawing.
class RecordingControl : public IControl {
public:
    RecordingControl(IPlugBase* plugin, const IBounds& area, int paramIdx, IRgba fill, std::string controlName,
                     std::vector<std::string>* drawLog)
        : IControl(plugin, area, paramIdx), colour(fill), name(std::move(controlName)), log(drawLog) {}

    bool Draw(IGraphics& g) override {
        if (log) log->push_back(name);
        return g.FillRect(colour, drawArea, &blend);
    }
    void HandleMouseDown(int x, int y, const IMouseState& state) override {
        if (log) log->push_back(name + " down");
        IControl::HandleMouseDown(x, y, state);
    }
    void HandleMouseDrag(int, int, int dX, int dY, const IMouseState&) override {
        if (log) log->push_back(name + " drag " + std::to_string(dX) + "," + std::to_string(dY));
    }
    void HandleMouseUp(int, int, const IMouseState&) override {
        if (log) log->push_back(name + " up");
    }
    bool HandleKey(int, int, int key) override {
        if (log) log->push_back(name + " key " + std::to_string(key));
        return true;
    }
    void HandleMouseOver(int, int, const IMouseState&) override {
        if (log) log->push_back(name + " over");
    }
    void HandleMouseOut() override {
        if (log) log->push_back(name + " out");
    }

    IRgba colour;
    std::string name;
    std::vector<std::string>* log;
};

// A picture strip of `frames` stacked frames, each w × h and filled with
// its own colour (from colours, repeating), handed to the bitmap cache.
inline IBitmapRef MakeStrip(IGraphics& g, int w, int h, int frames, const std::vector<IRgba>& colours) {
    auto* bitmap = new LICE_MemBitmap(w, h * frames, 4);
    for (int f = 0; f < frames; ++f)
        LICE::FillRectangle(bitmap, 0, f * h, w, h, colours[static_cast<size_t>(f) % colours.size()].Packed(), 1.0f,
                            LICE::ModeCopy);
    const IBitmapRef ref(bitmap, w, h * frames, frames, false);
    g.RetainBitmap(ref);
    return ref;
}

inline IMouseState LeftButton() {
    IMouseState s;
    s.left = true;
    return s;
}
inline IMouseState RightButton() {
    IMouseState s;
    s.right = true;
    return s;
}
inline IMouseState WithShift(IMouseState s) {
    s.shift = true;
    return s;
}
inline IMouseState WithControl(IMouseState s) {
    s.control = true;
    return s;
}

const IRgba kBlack(255, 0, 0, 0);
const IRgba kRed(255, 255, 0, 0);
const IRgba kGreen(255, 0, 255, 0);
const IRgba kBlue(255, 0, 0, 255);
const IRgba kWhite(255, 255, 255, 255);

// A headless editor of w × h over an EditorTestPlugin. The plug-in owns the
// editor once attached, as in the product.
struct EditorFixture {
    explicit EditorFixture(int w = 100, int h = 80, int apiKind = 3) : plugin(apiKind) {
        editor = new IGraphicsHeadless(&plugin, w, h, 0);
    }
    ~EditorFixture() {
        if (plugin.Editor() != editor) delete editor;
    }
    EditorFixture(const EditorFixture&) = delete;
    EditorFixture& operator=(const EditorFixture&) = delete;
    // Attaches the editor to the plug-in (values pushed, buffers made) and
    // opens its window.
    void AttachAndOpen() {
        plugin.AttachEditor(editor);
        editor->OpenWindow(nullptr);
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless* editor;
};
