// The compressor's editor as it reaches the screen: the layout, the frames
// the knobs, LEDs and Power show for their parameters, the needle's place for
// a meter value, the overlay's clicks, and the way back to the plug-in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compressor/Kestrom.h"
#include "compressor/KestromEditor.h"
#include "core/IPlugParam.h"
#include "graphics/IBitmapCache.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/LICE_Shapes.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IBitmapOverlayControl.h"
#include "graphics/controls/IFaderControl.h"
#include "graphics/controls/IKnobMultiControl.h"
#include "graphics/controls/IPanelControl.h"
#include "graphics/controls/ISwitchControl.h"
#include "graphics/headless/IGraphicsHeadless.h"

using namespace kestrom;
using namespace kestrom::editor;

namespace {

// Records what the editor sends to the plug-in, then does what the plug-in does.
class RecordingKestrom : public Kestrom {
public:
    void SetParameterFromGUI(int index, double normalised) override {
        fromGui.push_back({index, normalised});
        Kestrom::SetParameterFromGUI(index, normalised);
    }
    struct Change {
        int index;
        double normalised;
    };
    std::vector<Change> fromGui;
};

// The plug-in with its own editor, window open and everything drawn.
struct OpenEditor {
    OpenEditor() {
        ui = dynamic_cast<IGraphicsHeadless*>(plug.Editor());
        if (ui && ui->OpenWindow(nullptr)) Settle();
    }
    // Runs the timer until a tick draws nothing.
    void Settle() {
        for (int i = 0; i < 16 && ui->Tick(); ++i) {
        }
    }
    // A parameter change from the host: stored, told to the editor, hook run.
    void SetFromHost(int index, double value) {
        IPlugParam* p = plug.Param(index);
        p->Set(value);
        ui->SetParameterFromPlugin(index, p->Value(), false);
        plug.HandleParamChange(index);
        Settle();
    }
    IControl* Control(int index) { return ui->GetControl(index); }

    RecordingKestrom plug;
    IGraphicsHeadless* ui = nullptr;
};

// The picture strip of a control, as the editor loaded it.
IBitmapRef Strip(IGraphics& g, int id) {
    for (const PictureEntry& p : kPictures)
        if (p.id == id) return g.LoadBitmap(p.id, p.name, p.frames);
    return IBitmapRef();
}

IMouseState LeftButton() {
    IMouseState s;
    s.left = true;
    return s;
}

// Compares the screen at (x, y) with frame `frame` (1-based) of strip, at the
// pixels the frame covers fully (alpha 255) and no later picture `cover`
// (placed at coverX, coverY, its frame coverFrame) hides. Returns the number
// of pixels compared, or -1 at the first that differs.
int CompareOpaquePixels(const IGraphicsHeadless& ui, const IBitmapRef& strip, int frame, int x, int y,
                        const IBitmapRef* cover = nullptr, int coverFrame = 1, int coverX = 0, int coverY = 0,
                        int maxX = kWidth) {
    int compared = 0;
    const int h = strip.FrameHeight();
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < strip.FrameWidth(); ++col) {
            const LICE_pixel p = LICE::GetPixel(strip.bitmap, col, (frame - 1) * h + row);
            if (LICE::Alpha(p) != 255 || x + col >= maxX) continue;
            if (cover) {
                const int cx = x + col - coverX;
                const int cy = y + row - coverY;
                if (cx >= 0 && cy >= 0 && cx < cover->FrameWidth() && cy < cover->FrameHeight() &&
                    LICE::Alpha(LICE::GetPixel(cover->bitmap, cx, (coverFrame - 1) * cover->FrameHeight() + cy)) != 0)
                    continue;
            }
            const IRgba s = ui.ScreenPixel(x + col, y + row);
            const IRgba want = IRgba::FromPacked(p);
            if (s.r != want.r || s.g != want.g || s.b != want.b) return -1;
            ++compared;
        }
    }
    return compared;
}

// Whether frame `frame` of the strip is what the screen shows at (x, y), and
// its neighbours are not (so a test of it can fail).
void ExpectFrameShown(const IGraphicsHeadless& ui, const IBitmapRef& strip, int frame, int x, int y,
                      int maxX = kWidth) {
    EXPECT_GT(CompareOpaquePixels(ui, strip, frame, x, y, nullptr, 1, 0, 0, maxX), 100) << "frame " << frame;
    for (int other : {frame - 1, frame + 1}) {
        if (other >= 1 && other <= strip.Frames()) {
            EXPECT_EQ(CompareOpaquePixels(ui, strip, other, x, y, nullptr, 1, 0, 0, maxX), -1) << "frame " << other;
        }
    }
}

}  // namespace

TEST(KestromEditor, ControlsFollowTheLayoutInDrawingOrder) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    EXPECT_EQ(e.ui->Width(), 298);
    EXPECT_EQ(e.ui->Height(), 400);
    EXPECT_EQ(e.ui->FrameRate(), 25);
    ASSERT_EQ(e.ui->NControls(), kControlCount);
    struct Row {
        int index;
        IBounds area;
        int paramIdx;
        bool isRightClass;
    };
    const Row rows[] = {
        {kPanelControl, {0, 0, 298, 400}, -1, dynamic_cast<IPanelControl*>(e.Control(0)) != nullptr},
        {kBackgroundControl, {0, 0, 298, 400}, -1, dynamic_cast<IBitmapControl*>(e.Control(1)) != nullptr},
        {kNeedleControl, {45, 61, 259, 106}, kMeterIndex, dynamic_cast<IFaderControl*>(e.Control(2)) != nullptr},
        {kPowerControl, {27, 49, 272, 119}, kPower, dynamic_cast<ISwitchControl*>(e.Control(3)) != nullptr},
        {kInKnobControl, {0, 163, 148, 311}, kIn, dynamic_cast<IKnobMultiControl*>(e.Control(4)) != nullptr},
        {kOutKnobControl, {143, 163, 291, 311}, kOut, dynamic_cast<IKnobMultiControl*>(e.Control(5)) != nullptr},
        {kDeepLedControl, {37, 322, 69, 354}, kDeep, dynamic_cast<ISwitchControl*>(e.Control(6)) != nullptr},
        {kRelaxedLedControl, {101, 322, 133, 354}, kRelaxed, dynamic_cast<ISwitchControl*>(e.Control(7)) != nullptr},
        {kDualMonoLedControl, {164, 322, 196, 354}, kDualMono,
         dynamic_cast<ISwitchControl*>(e.Control(8)) != nullptr},
        {kNegativeLedControl, {228, 322, 260, 354}, kNegative,
         dynamic_cast<ISwitchControl*>(e.Control(9)) != nullptr},
        {kOverlayControl, {0, 0, 298, 400}, -1, dynamic_cast<IBitmapOverlayControl*>(e.Control(10)) != nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("control " + std::to_string(r.index));
        const IControl* c = e.Control(r.index);
        EXPECT_TRUE(r.isRightClass);
        EXPECT_EQ(c->DrawArea(), r.area);
        EXPECT_EQ(c->ParamIdx(), r.paramIdx);
        EXPECT_EQ(c->Blend().method, IBlend::kAlpha);
    }
    auto* needle = dynamic_cast<IFaderControl*>(e.Control(kNeedleControl));
    EXPECT_EQ(needle->Length(), 214);
    EXPECT_EQ(needle->HandleSize(), 16);
    auto* knob = dynamic_cast<IKnobMultiControl*>(e.Control(kInKnobControl));
    EXPECT_EQ(knob->Direction(), IControl::kVertical);
    EXPECT_EQ(knob->Gearing(), 4.0);
    EXPECT_EQ(knob->Bitmap().Frames(), 128);
}

TEST(KestromEditor, KnobsShowTheFrameOfTheirValue) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    const IBitmapRef in = Strip(*e.ui, kKnobInPicture);
    const IBitmapRef out = Strip(*e.ui, kKnobOutPicture);
    // The Out knob's area overlaps the In knob's last five columns and is
    // drawn later; the In knob is compared left of it.
    ExpectFrameShown(*e.ui, in, 65, 0, 163, 143);  // default 0 dB
    ExpectFrameShown(*e.ui, out, 65, 143, 163);
    const struct {
        int param;
        double dB;
        int frame;
    } cases[] = {
        {kIn, 20.0, 128}, {kIn, -19.9, 1}, {kIn, -20.0, 1}, {kIn, 0.1, 65}, {kIn, 10.0, 96},
        {kOut, -20.0, 1}, {kOut, 20.0, 128}, {kOut, 5.0, 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.param) + " at " + std::to_string(c.dB) + " dB");
        e.SetFromHost(c.param, c.dB);
        if (c.param == kIn)
            ExpectFrameShown(*e.ui, in, c.frame, 0, 163, 143);
        else
            ExpectFrameShown(*e.ui, out, c.frame, 143, 163);
    }
}

TEST(KestromEditor, LedsAndPowerShowTheirSwitchesFrames) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    const IBitmapRef led = Strip(*e.ui, kLedPicture);
    const IBitmapRef bypass = Strip(*e.ui, kBypassPicture);
    ExpectFrameShown(*e.ui, bypass, 2, kPowerX, kPowerY);  // Power is on by default
    for (const LedPlacement& place : kLeds) {
        SCOPED_TRACE(std::string(kParamTable[place.paramIdx].name));
        ExpectFrameShown(*e.ui, led, 1, place.x, place.y);
        e.SetFromHost(place.paramIdx, 1.0);
        ExpectFrameShown(*e.ui, led, 2, place.x, place.y);
    }
    e.SetFromHost(kPower, 0.0);
    ExpectFrameShown(*e.ui, bypass, 1, kPowerX, kPowerY);
}

TEST(KestromEditor, NeedleSitsWhereTheMeterValuePutsItBehindTheGlass) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    const IBitmapRef needle = Strip(*e.ui, kNeedlePicture);
    const IBitmapRef bypass = Strip(*e.ui, kBypassPicture);
    const struct {
        double value;
        int left;
    } cases[] = {{0.5, 144}, {0.0, 45}, {1.0, 243}, {0.25, 94}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        // As the processing hands it over: from the audio side, taken at the next tick.
        e.ui->SetParameterFromPlugin(kMeterIndex, c.value, true);
        e.Settle();
        EXPECT_EQ(dynamic_cast<IFaderControl*>(e.Control(kNeedleControl))->HandleRect().left, c.left);
        EXPECT_GT(CompareOpaquePixels(*e.ui, needle, 1, c.left, kNeedleY, &bypass, 2, kPowerX, kPowerY), 20);
        EXPECT_EQ(CompareOpaquePixels(*e.ui, needle, 1, c.left + 1, kNeedleY, &bypass, 2, kPowerX, kPowerY), -1);
    }
}

TEST(KestromEditor, OverlayShowsOnAClickInItsAreaAndTheNextClickAnywhereHidesIt) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    auto* overlay = dynamic_cast<IBitmapOverlayControl*>(e.Control(kOverlayControl));
    const IBitmapRef picture = Strip(*e.ui, kOverlayPicture);
    EXPECT_EQ(overlay->HitArea(), IBounds(80, 10, 212, 62));  // drawn hidden
    EXPECT_EQ(CompareOpaquePixels(*e.ui, picture, 1, 0, 0), -1);

    e.ui->Click(100, 30);
    e.Settle();
    EXPECT_TRUE(overlay->IsShown());
    EXPECT_EQ(overlay->HitArea(), IBounds(0, 0, 298, 400));
    EXPECT_GT(CompareOpaquePixels(*e.ui, picture, 1, 0, 0), 10000);

    // A click on the Deep LED and a drag on the In knob: both only hide it.
    const LedPlacement& deep = kLeds[0];
    e.ui->Click(deep.x + 16, deep.y + 16);
    e.Settle();
    EXPECT_FALSE(overlay->IsShown());
    EXPECT_EQ(e.plug.Param(kDeep)->Value(), 0.0);
    EXPECT_EQ(CompareOpaquePixels(*e.ui, picture, 1, 0, 0), -1);
    e.ui->Click(100, 30);
    e.Settle();
    e.ui->Drag(74, 237, 74, 137, 4, LeftButton());
    e.Settle();
    EXPECT_FALSE(overlay->IsShown());
    EXPECT_EQ(e.plug.Param(kIn)->Value(), 0.0);
    EXPECT_TRUE(e.plug.fromGui.empty());
}

TEST(KestromEditor, OverlayTakesClicksOverPowerInItsAreaButNotBelowIt) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    auto* overlay = dynamic_cast<IBitmapOverlayControl*>(e.Control(kOverlayControl));
    auto* needle = e.Control(kNeedleControl);
    e.ui->SetParameterFromPlugin(kMeterIndex, 0.3, true);
    e.Settle();

    e.ui->Click(100, 55);  // inside both the click area and Power's
    e.Settle();
    EXPECT_TRUE(overlay->IsShown());
    EXPECT_EQ(e.plug.Param(kPower)->Value(), 1.0);
    e.ui->Click(100, 55);  // hides it again
    e.Settle();
    EXPECT_FALSE(overlay->IsShown());

    e.ui->Click(150, 90);  // over the meter window: Power, not the needle
    e.Settle();
    EXPECT_FALSE(overlay->IsShown());
    EXPECT_EQ(e.plug.Param(kPower)->Value(), 0.0);
    EXPECT_EQ(needle->Value(), 0.3);
    ASSERT_EQ(e.plug.fromGui.size(), 1u);
    EXPECT_EQ(e.plug.fromGui[0].index, kPower);
    ExpectFrameShown(*e.ui, Strip(*e.ui, kBypassPicture), 1, kPowerX, kPowerY);
}

TEST(KestromEditor, BeforeItsFirstDrawingTheOverlayTakesEveryClick) {
    RecordingKestrom plug;
    auto* ui = dynamic_cast<IGraphicsHeadless*>(plug.Editor());
    ASSERT_NE(ui, nullptr);
    ui->Click(kLeds[0].x + 16, kLeds[0].y + 16);
    EXPECT_TRUE(dynamic_cast<IBitmapOverlayControl*>(ui->GetControl(kOverlayControl))->IsShown());
    EXPECT_EQ(plug.Param(kDeep)->Value(), 0.0);
}

TEST(KestromEditor, DraggingTheInKnob592PixelsUpSweepsItsWholeRange) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    e.SetFromHost(kIn, -20.0);
    e.ui->Drag(74, 237, 74, 237 - 592, 8, LeftButton());
    e.Settle();
    EXPECT_EQ(e.plug.Param(kIn)->Value(), 20.0);
    ASSERT_EQ(e.plug.fromGui.size(), 8u);  // one per mouse movement
    EXPECT_EQ(e.plug.fromGui.back().index, kIn);
    EXPECT_EQ(e.plug.fromGui.back().normalised, 1.0);
    EXPECT_EQ(e.plug.fromGui[3].normalised, 0.5);
    ExpectFrameShown(*e.ui, Strip(*e.ui, kKnobInPicture), 128, 0, 163, 143);

    // Ten times finer with Shift: the same drag down moves it a tenth.
    IMouseState shift = LeftButton();
    shift.shift = true;
    e.ui->Drag(74, 200, 74, 200 + 592, 8, shift);
    EXPECT_NEAR(e.plug.Param(kIn)->Value(), 16.0, 1e-9);
}

TEST(KestromEditor, AnyParameterChangeRedrawsTheWholeEditor) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    EXPECT_FALSE(e.ui->Tick());
    e.plug.SetParameterFromGUI(kRelaxed, 1.0);
    EXPECT_TRUE(e.ui->Tick());
    EXPECT_EQ(e.ui->LastPaintedArea(), IBounds(0, 0, 298, 400));
}

TEST(KestromEditor, ProcessingHandsTheNeedleItsValueOnlyWithPowerOn) {
    OpenEditor e;
    ASSERT_NE(e.ui, nullptr);
    e.plug.ChangeSampleRate(48000);
    e.plug.HandleReset();
    e.SetFromHost(kIn, 20.0);
    // A loud square wave, five blocks of 960 frames.
    std::vector<float> l(960), r(960), ol(960), orr(960);
    for (std::size_t i = 0; i < l.size(); ++i) l[i] = r[i] = (i / 24) % 2 ? 0.9f : -0.9f;
    const float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    for (int block = 0; block < 5; ++block) e.plug.ProcessHostBlock(in, out, static_cast<int>(l.size()));
    const IValueMailbox::Reading handed = e.ui->PeekDisplayValue(kMeterIndex);
    EXPECT_EQ(handed.posts, 5u);
    EXPECT_EQ(handed.value, e.plug.Processor().NeedleValue());
    EXPECT_GT(handed.value, 0.1);
    e.Settle();
    EXPECT_EQ(e.Control(kNeedleControl)->Value(), handed.value);

    e.SetFromHost(kPower, 0.0);
    e.plug.ProcessHostBlock(in, out, static_cast<int>(l.size()));
    EXPECT_EQ(e.ui->PeekDisplayValue(kMeterIndex).posts, 5u);
}

namespace {

// The editor's pictures this process has decoded so far, in loading order.
std::string DecodedPictures() {
    std::string ids;
    for (const PictureEntry& p : kPictures) {
        const auto* png = dynamic_cast<const LICE_PngBitmap*>(IBitmapCache::Instance().Find(p.id));
        if (png != nullptr && png->IsDecoded()) ids += (ids.empty() ? "" : " ") + std::to_string(p.id);
    }
    return ids;
}

// Builds the plug-in, then draws its editor, then shows the overlay, and
// checks after each step which pictures have been decoded; what differs goes
// to standard error and makes the exit status 1. Meant for a process of its
// own: the pictures are cached for the whole process, and other tests draw
// them.
[[noreturn]] void CheckPicturesDecodeWhenFirstDrawn() {
    bool ok = true;
    auto expect = [&ok](const char* when, const std::string& want) {
        const std::string got = DecodedPictures();
        if (got != want) {
            std::fprintf(stderr, "%s: decoded [%s], expected [%s]\n", when, got.c_str(), want.c_str());
            ok = false;
        }
    };
    {
        Kestrom plug;
        for (const PictureEntry& p : kPictures) {
            if (dynamic_cast<const LICE_PngBitmap*>(IBitmapCache::Instance().Find(p.id)) == nullptr) {
                std::fprintf(stderr, "picture %d is not in the cache\n", p.id);
                ok = false;
            }
        }
        expect("after building the plug-in", "");
        auto* ui = dynamic_cast<IGraphicsHeadless*>(plug.Editor());
        if (ui == nullptr || ui->OpenWindow(nullptr) == nullptr) std::exit(2);
        for (int i = 0; i < 16 && ui->Tick(); ++i) {
        }
        expect("after the first drawing (overlay hidden)", "101 102 103 105 104 106");
        ui->Click(100, 30);
        for (int i = 0; i < 16 && ui->Tick(); ++i) {
        }
        expect("once the overlay shows", "101 102 103 105 104 106 107");
    }
    std::exit(ok ? 0 : 1);
}

}  // namespace

// Building the plug-in reads only the pictures' sizes; each picture is
// decoded when the editor first draws it, so the hidden overlay waits until
// it is shown.
TEST(KestromEditorPictures, DecodeWhenFirstDrawnNotWhenThePlugInIsBuilt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, with nothing cached yet
    EXPECT_EXIT(CheckPicturesDecodeWhenFirstDrawn(), testing::ExitedWithCode(0), "");
}
