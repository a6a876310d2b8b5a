#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EditorFixture.h"
#include "graphics/IBitmapCache.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/LICE_Shapes.h"
#include "graphics/controls/IBitmapControl.h"
#include "graphics/controls/IPanelControl.h"
#include "tests/graphics/PngSamples.h"

// The display-less window layer: pictures, the timer, resizing, menus and
// dialogs.

namespace {
// PNG files for ids from 9100 up, kept for the life of the process as the
// module's own pictures are: the cache holds on to what it loaded that long.
std::map<int, png_samples::Bytes>& EncodedPictures() {
    static std::map<int, png_samples::Bytes> pictures;
    return pictures;
}

// Counts how often the platform is asked for a picture; ids from 9100 up are
// read from EncodedPictures as the window layer reads its own (the size now,
// the pixels when first drawn), ids from 9000 up are made up on the spot
// (solid 4 × 6 pictures), others come from the binary.
class CountingHeadless : public IGraphicsHeadless {
public:
    using IGraphicsHeadless::IGraphicsHeadless;
    std::unique_ptr<LICE_IBitmap> LoadPlatformBitmap(int id, const char* name) override {
        ++loads;
        if (id < 9000) return IGraphicsHeadless::LoadPlatformBitmap(id, name);
        if (id >= 9100) {
            const png_samples::Bytes& png = EncodedPictures()[id];
            return LICE_PngBitmap::FromBytes(png.data(), png.size());
        }
        auto b = std::make_unique<LICE_MemBitmap>(4, 6, 4);
        LICE::Clear(b.get(), kGreen.Packed());
        return b;
    }
    int loads = 0;
};

// Registers png under an id from 9100 up that no earlier test (nor an earlier
// run of the same test, with --gtest_repeat) has loaded into the cache.
int AddEncodedPicture(png_samples::Bytes png) {
    static int lastId = 9100;
    EncodedPictures()[++lastId] = std::move(png);
    return lastId;
}

// An opaque 6 × 4 RGB picture, each pixel its own colour.
png_samples::Bytes OpaquePicture() {
    png_samples::PngImage s;
    s.width = 6;
    s.height = 4;
    for (int y = 0; y < 4; ++y) {
        png_samples::Bytes row;
        for (int x = 0; x < 6; ++x)
            row.insert(row.end(), {static_cast<unsigned char>(40 * x), static_cast<unsigned char>(60 * y), 200});
        s.rows.push_back(row);
    }
    return png_samples::Encode(s);
}
}  // namespace

TEST(HeadlessPictures, TheEditorsPicturesLoadByOrdinalWithTheirSizes) {
    EditorTestPlugin plugin;
    IGraphicsHeadless g(&plugin, 298, 400);
    struct Case {
        int id;
        const char* name;
        int frames;
        int width, height, frameHeight;
    };
    const Case cases[] = {
        {101, "resources/img/BG.png", 1, 298, 400, 400},
        {102, "resources/img/KnobL1.png", 128, 148, 18944, 148},
        {103, "resources/img/KnobL2.png", 128, 148, 18944, 148},
        {104, "resources/img/LED.png", 2, 32, 64, 32},
        {105, "resources/img/Needle.png", 1, 16, 45, 45},
        {106, "resources/img/Bypass.png", 2, 245, 140, 70},
        {107, "resources/img/Overlay.png", 1, 298, 400, 400},
    };
    for (const Case& c : cases) {
        const IBitmapRef ref = g.LoadBitmap(c.id, c.name, c.frames);
        ASSERT_FALSE(ref.IsEmpty()) << c.name;
        EXPECT_EQ(ref.width, c.width) << c.name;
        EXPECT_EQ(ref.height, c.height) << c.name;
        EXPECT_EQ(ref.FrameHeight(), c.frameHeight) << c.name;
        EXPECT_EQ(ref.frameCount, c.frames) << c.name;
    }
}

TEST(HeadlessPictures, APictureIsDecodedOncePerProcessAndSharedByEditors) {
    EditorTestPlugin plugin;
    CountingHeadless first(&plugin, 10, 10);
    CountingHeadless second(&plugin, 10, 10);
    const IBitmapRef a = first.LoadBitmap(9001, "made.png", 2);
    const IBitmapRef b = second.LoadBitmap(9001, "made.png", 3);
    EXPECT_EQ(first.loads + second.loads, 1);
    EXPECT_EQ(a.bitmap, b.bitmap);
    EXPECT_EQ(b.frameCount, 3);  // the frames are the caller's, not the cache's
    EXPECT_TRUE(IBitmapCache::Instance().Holds(a.bitmap));
}

TEST(HeadlessPictures, APictureHasItsSizeAtOnceAndIsDecodedWhenFirstDrawn) {
    const int id = AddEncodedPicture(OpaquePicture());
    EditorTestPlugin plugin;
    auto* g = new CountingHeadless(&plugin, 20, 20);
    const IBitmapRef ref = g->LoadBitmap(id, "made.png", 2);
    ASSERT_FALSE(ref.IsEmpty());
    EXPECT_EQ(ref.width, 6);
    EXPECT_EQ(ref.height, 4);
    const auto* png = dynamic_cast<const LICE_PngBitmap*>(ref.bitmap);
    ASSERT_NE(png, nullptr);
    g->AttachBackgroundColour(kBlue);
    auto* control = new IBitmapControl(&plugin, 3, 5, ref);
    EXPECT_EQ(control->DrawArea(), IBounds(3, 5, 9, 7));  // one frame of 6 × 2
    g->AttachControl(control);
    plugin.AttachEditor(g);  // the plug-in owns it from here
    EXPECT_FALSE(png->IsDecoded());
    g->OpenWindow(nullptr);
    ASSERT_TRUE(g->Tick());
    EXPECT_TRUE(png->IsDecoded());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(g->ScreenPixel(3 + x, 5 + y), IRgba(255, 40 * x, 60 * y, 200)) << x << "," << y;
    EXPECT_EQ(g->ScreenPixel(3, 7), kBlue);
    // Another editor shares the decoded picture; the platform was asked once.
    CountingHeadless other(&plugin, 10, 10);
    EXPECT_EQ(other.LoadBitmap(id, "made.png").bitmap, ref.bitmap);
    EXPECT_EQ(g->loads + other.loads, 1);
}

TEST(HeadlessPictures, APictureWhoseDataTurnsOutDamagedKeepsItsSizeAndDrawsNothing) {
    // The header promises 6 × 40, the image data holds 4 rows.
    const int id = AddEncodedPicture(png_samples::WithClaimedSize(OpaquePicture(), 6, 40));
    EditorTestPlugin plugin;
    auto* g = new CountingHeadless(&plugin, 20, 30);
    const IBitmapRef ref = g->LoadBitmap(id, "damaged.png", 2);
    ASSERT_FALSE(ref.IsEmpty());
    EXPECT_EQ(ref.FrameHeight(), 20);
    g->AttachBackgroundColour(kBlue);
    g->AttachControl(new IBitmapControl(&plugin, 3, 5, ref));
    plugin.AttachEditor(g);
    g->OpenWindow(nullptr);
    ASSERT_TRUE(g->Tick());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(g->ScreenPixel(x, y), kBlue) << x << "," << y;
    // Nothing to scale or crop from; and the damage is not looked at again.
    EXPECT_TRUE(g->ScaleBitmap(ref, 3, 20).IsEmpty());
    EXPECT_TRUE(g->CropBitmap(ref, IBounds(0, 0, 6, 20)).IsEmpty());
    EXPECT_EQ(g->LoadBitmap(id, "damaged.png", 2).bitmap, ref.bitmap);
    EXPECT_EQ(g->loads, 1);
}

TEST(HeadlessPictures, AMissingPictureIsAnEmptyReferenceThatDrawsNothing) {
    EditorFixture f(20, 20);
    f.editor->AttachBackgroundColour(kBlue);
    const IBitmapRef missing = f.editor->LoadBitmap(999, "resources/img/None.png", 2);
    EXPECT_TRUE(missing.IsEmpty());
    // Only a name ending in "png" (any case) is looked up.
    EXPECT_EQ(f.editor->LoadPlatformBitmap(101, "resources/img/BG.jpg"), nullptr);
    EXPECT_EQ(f.editor->LoadPlatformBitmap(101, "BG"), nullptr);
    EXPECT_NE(f.editor->LoadPlatformBitmap(101, "BG.PnG"), nullptr);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.FrameHeight(), 0);
    auto* control = new IBitmapControl(&f.plugin, 5, 5, missing);
    EXPECT_EQ(control->DrawArea(), IBounds(5, 5, 5, 5));
    f.editor->AttachControl(control);
    f.AttachAndOpen();
    EXPECT_TRUE(f.editor->Tick());
    EXPECT_EQ(f.editor->ScreenPixel(5, 5), kBlue);
    EXPECT_EQ(f.editor->ControlIndexAt(5, 5, false), 0);  // never hit
    // Nothing was cached for it: a later call asks again.
    EXPECT_EQ(IBitmapCache::Instance().Find(999), nullptr);
    EXPECT_EQ(f.editor->ScaleBitmap(missing, 4, 4).bitmap, nullptr);
    EXPECT_EQ(f.editor->CropBitmap(missing, IBounds(0, 0, 2, 2)).bitmap, nullptr);
}

TEST(HeadlessPictures, TheBackgroundPictureIsCopiedToTheScreen) {
    EditorFixture f(298, 400);
    f.editor->AttachBackgroundBitmap(101, "resources/img/BG.png");
    f.AttachAndOpen();
    ASSERT_TRUE(f.editor->Tick());
    const IBitmapRef bg = f.editor->LoadBitmap(101, "resources/img/BG.png");
    for (const auto& p : {std::make_pair(0, 0), {150, 200}, {297, 399}, {10, 380}}) {
        const IRgba expected = IRgba::FromPacked(LICE::GetPixel(bg.bitmap, p.first, p.second));
        EXPECT_EQ(f.editor->ScreenPixel(p.first, p.second), expected) << p.first << "," << p.second;
    }
    EXPECT_EQ(f.editor->GetControl(0)->Blend().method, IBlend::kCopy);
}

TEST(HeadlessPictures, FramesComeFromTheirShareOfTheStrip) {
    EditorFixture f(20, 20);
    const IBitmapRef strip = MakeStrip(*f.editor, 4, 64, 128, {kRed, kGreen, kBlue});  // 8192 high
    f.editor->AttachBackgroundColour(kBlack);
    f.AttachAndOpen();
    f.editor->Tick();
    struct Case {
        int frame;
        IRgba colour;  // frame f's colour is colours[(f - 1) % 3]; past the strip nothing is drawn
    };
    for (const Case& c : {Case{1, kRed}, Case{2, kGreen}, Case{128, kGreen}, Case{0, kRed}, Case{200, kBlack}}) {
        f.editor->GetControl(0)->MarkDirty(false);
        f.editor->DrawDirty(IBounds(0, 0, 20, 20));
        f.editor->DrawBitmapFrame(strip, IBounds(0, 0, 4, 4), c.frame);
        EXPECT_EQ(f.editor->ReadPixel(0, 0), c.colour) << c.frame;
    }
}

TEST(HeadlessPictures, ScaledAndCroppedPicturesAreCachedUnderMinusOne) {
    EditorFixture f;
    const IBitmapRef strip = MakeStrip(*f.editor, 4, 4, 2, {kRed, kGreen});
    const int before = IBitmapCache::Instance().Count();
    const IBitmapRef scaled = f.editor->ScaleBitmap(strip, 8, 16);
    const IBitmapRef cropped = f.editor->CropBitmap(strip, IBounds(0, 4, 4, 8));
    EXPECT_EQ(IBitmapCache::Instance().Count(), before + 2);
    EXPECT_EQ(scaled.width, 8);
    EXPECT_EQ(scaled.frameCount, 2);
    EXPECT_EQ(IRgba::FromPacked(LICE::GetPixel(scaled.bitmap, 4, 12)), kGreen);
    EXPECT_EQ(IRgba::FromPacked(LICE::GetPixel(cropped.bitmap, 0, 0)), kGreen);
    f.editor->RetainBitmap(cropped);  // already held: not added twice
    EXPECT_EQ(IBitmapCache::Instance().Count(), before + 2);
    f.editor->ReleaseBitmap(scaled);
    f.editor->ReleaseBitmap(cropped);
    EXPECT_EQ(IBitmapCache::Instance().Count(), before);
    LICE_MemBitmap notCached(2, 2, 4);
    f.editor->ReleaseBitmap(IBitmapRef(&notCached, 2, 2));  // left alone
    EXPECT_EQ(notCached.Width(), 2);
}

TEST(HeadlessWindow, TheTimerPeriodFollowsTheFrameRate) {
    EditorTestPlugin plugin;
    EXPECT_EQ(IGraphicsHeadless(&plugin, 10, 10, 0).TimerPeriodMs(), 40);
    EXPECT_EQ(IGraphicsHeadless(&plugin, 10, 10, -3).FrameRate(), 25);
    EXPECT_EQ(IGraphicsHeadless(&plugin, 10, 10, 30).TimerPeriodMs(), 33);
}

TEST(HeadlessWindow, ResizingStartsOverWithNewBuffersAndTellsThePlugin) {
    EditorFixture f(50, 40);
    f.editor->AttachBackgroundColour(kRed);
    f.AttachAndOpen();
    f.editor->Tick();
    f.plugin.events.clear();
    f.editor->Resize(50, 40);  // same size: nothing
    EXPECT_EQ(f.editor->NControls(), 1);
    f.editor->Resize(80, 30);
    EXPECT_EQ(f.editor->NControls(), 0);
    EXPECT_EQ(f.editor->BackBuffer()->Width(), 80);
    EXPECT_EQ(f.editor->Screen()->Width(), 80);
    EXPECT_EQ(f.plugin.events, std::vector<std::string>{"resized 80x30"});
    f.editor->AttachBackgroundColour(kGreen);
    EXPECT_TRUE(f.editor->Tick());
    EXPECT_EQ(f.editor->ScreenPixel(79, 29), kGreen);
    EXPECT_EQ(f.editor->LastPaintedArea(), IBounds(0, 0, 80, 30));
}

TEST(HeadlessWindow, MenusNumberTheirItemsDepthFirst) {
    EditorTestPlugin plugin;
    IGraphicsHeadless g(&plugin, 50, 50);
    g.OpenWindow(nullptr);
    IMenu menu(2);
    menu.AddItem("alpha");
    auto sub = std::make_unique<IMenu>();
    sub->AddItem("inner one");
    sub->AddItem("inner two");
    IMenu* inner = sub.get();
    menu.AddSubmenu("more", std::move(sub));
    menu.AddItem("gamma");
    menu.AddSeparator();
    // Top menu: 0 alpha, 1 more, 2 gamma, 3 separator; submenu: 4, 5.
    g.QueueMenuChoice(5);
    EXPECT_EQ(g.ShowPopupMenu(menu, IBounds(0, 0, 10, 10)), inner);
    EXPECT_EQ(inner->chosenIndex, 1);
    EXPECT_EQ(g.LastMenuItems()[2], "03: gamma");
    g.QueueMenuChoice(2);
    EXPECT_EQ(g.ShowPopupMenu(menu, IBounds()), &menu);
    EXPECT_EQ(menu.chosenIndex, 2);
    for (int unpickable : {3, 1, 99, -1}) {
        g.QueueMenuChoice(unpickable);
        EXPECT_EQ(g.ShowPopupMenu(menu, IBounds()), nullptr) << unpickable;
    }
}

TEST(HeadlessWindow, DialogsTakeTheQueuedAnswersOrCountAsCancelled) {
    EditorTestPlugin plugin;
    IGraphicsHeadless g(&plugin, 50, 50);
    std::string path = "old.txt";
    std::string folder;
    g.QueueFileChoice("/tmp/presets/mine.fxp");
    g.PromptForFile(path, 1, folder, "fxp");
    EXPECT_EQ(path, "");  // no window: cancelled, and the answer stays queued
    g.OpenWindow(nullptr);
    g.PromptForFile(path, 1, folder, "fxp");
    EXPECT_EQ(path, "/tmp/presets/mine.fxp");
    EXPECT_EQ(folder, "/tmp/presets/");
    g.PromptForFile(path, 0, folder, "fxp");
    EXPECT_EQ(path, "");
    IRgba colour(7, 1, 2, 3);
    EXPECT_FALSE(g.PromptForColour(colour, "Pick"));
    g.QueueColourChoice(IRgba(255, 10, 20, 30));
    EXPECT_TRUE(g.PromptForColour(colour, "Pick"));
    EXPECT_EQ(colour, IRgba(7, 10, 20, 30));  // alpha kept
    EXPECT_FALSE(g.OpenURL("https://x.example", "Site", "Go there?", nullptr));  // confirmation says no
    EXPECT_TRUE(g.UrlsRequested().empty());
    g.QueueMessageBoxAnswer(IGraphicsHeadless::kYes);
    EXPECT_FALSE(g.OpenURL("https://x.example", "Site", "Go there?", "No connection"));
    EXPECT_EQ(g.MessagesShown().back(), "Site: No connection");
    std::string dir;
    g.HostDirectory(dir);
    EXPECT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
}
