// `kestrom editor` and `kestrom process --editor-png`: the PNG holds exactly
// what the plug-in's own editor put on its screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "compressor/Kestrom.h"
#include "compressor/KestromEditor.h"
#include "compressor/KestromParams.h"
#include "graphics/LICE_Png.h"
#include "graphics/LICE_Shapes.h"
#include "graphics/headless/IGraphicsHeadless.h"
#include "tests/tools/ToolRun.h"
#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/EditorCommand.h"

namespace kestrom::tool {
namespace {

using testing::ExpectOneErrorLine;
using testing::RunKestrom;
using testing::ScratchDir;
using testing::ToolRun;

std::unique_ptr<LICE_IBitmap> DecodeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::unique_ptr<LICE_IBitmap>(LICE::DecodePng(bytes.data(), bytes.size(), nullptr));
}

// Number of pixels whose colour differs (alpha is not part of the picture).
int DifferingPixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            differing += (LICE::GetPixel(&a, x, y) & 0xFFFFFF) != (LICE::GetPixel(&b, x, y) & 0xFFFFFF);
    return differing;
}

// A Kestrom driven here, without the tool: values set as a host sets them,
// the needle handed over as the processing does, clicks through the window
// layer, the timer run until it draws nothing.
class DirectEditor {
public:
    DirectEditor() : ui(dynamic_cast<IGraphicsHeadless*>(plug.Editor())) {}
    DirectEditor& Set(int index, double value) {
        plug.Param(index)->Set(value);
        ui->SetParameterFromPlugin(index, plug.Param(index)->Value(), false);
        plug.HandleParamChange(index);
        return *this;
    }
    DirectEditor& Needle(double value) {
        ui->SetParameterFromPlugin(kMeterIndex, value, true);
        return *this;
    }
    DirectEditor& Click(int x, int y) {
        Settle();
        ui->Click(x, y);
        return *this;
    }
    const LICE_IBitmap& Screen() {
        Settle();
        return *ui->Screen();
    }

private:
    void Settle() {
        if (!ui->IsWindowOpen()) ui->OpenWindow(nullptr);
        while (ui->Tick()) {
        }
    }
    Kestrom plug;

public:
    IGraphicsHeadless* ui;
};

TEST(KestromEditorCommand, ThePngIsTheEditorsScreenPixelForPixel) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::function<void(DirectEditor&)> drive;
    };
    const Case cases[] = {
        {"defaults", {}, [](DirectEditor&) {}},
        {"settings and needle",
         {"--in", "20", "--out", "-7.5", "--deep", "--dual-mono", "--reduction", "11"},
         [](DirectEditor& d) { d.Set(kIn, 20).Set(kOut, -7.5).Set(kDeep, 1).Set(kDualMono, 1).Needle(0.5); }},
        {"Power off, needle past full scale",
         {"--power", "off", "--relaxed", "--negative", "--reduction", "40"},
         [](DirectEditor& d) { d.Set(kPower, 0).Set(kRelaxed, 1).Set(kNegative, 1).Needle(1.0); }},
        {"overlay shown", {"--click", "100,30"}, [](DirectEditor& d) { d.Click(100, 30); }},
        {"overlay shown and hidden, then Power clicked",
         {"--click", "100,30", "--click", "200,380", "--click", "150,90"},
         [](DirectEditor& d) { d.Click(100, 30).Click(200, 380).Click(150, 90); }},
    };
    ScratchDir dir;
    ASSERT_EQ(RunKestrom({"editor", "--png", dir.File("default.png")}).status, kExitOk);
    const std::unique_ptr<LICE_IBitmap> defaults = DecodeFile(dir.File("default.png"));
    ASSERT_NE(defaults, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"editor", "--png", dir.File("panel.png")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ToolRun run = RunKestrom(args);
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(run.out, "");
        const std::unique_ptr<LICE_IBitmap> png = DecodeFile(dir.File("panel.png"));
        ASSERT_NE(png, nullptr);
        EXPECT_EQ(png->Width(), 298);
        EXPECT_EQ(png->Height(), 400);
        DirectEditor direct;
        c.drive(direct);
        EXPECT_EQ(DifferingPixels(*png, direct.Screen()), 0);
        if (!c.options.empty()) {
            EXPECT_GT(DifferingPixels(*png, *defaults), 0);
        }
    }
}

TEST(KestromEditorCommand, NeedleValueIsTheReductionOver22DecibelsWithinTheScale) {
    const struct {
        double dB;
        double value;
    } cases[] = {{0.0, 0.0}, {11.0, 0.5}, {22.0, 1.0}, {30.0, 1.0}, {-3.0, 0.0}, {5.5, 0.25}};
    for (const auto& c : cases) EXPECT_EQ(NeedleValueForReduction(c.dB), c.value) << c.dB;
}

TEST(KestromEditorCommand, ProcessLeavesTheNeedleWhereTheAudioLeftIt) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 24000, 48000, 0.9)));
    const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--in", "20", "-q", "--meter",
                                    dir.File("meter.txt"), "--editor-png", dir.File("after.png")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    std::ifstream meter(dir.File("meter.txt"));
    std::string line, last;
    while (std::getline(meter, line)) last = line;
    const double needle = std::strtod(last.c_str(), nullptr);
    EXPECT_GT(needle, 0.2);

    const std::unique_ptr<LICE_IBitmap> png = DecodeFile(dir.File("after.png"));
    ASSERT_NE(png, nullptr);
    DirectEditor direct;
    direct.Set(kIn, 20).Needle(needle);
    EXPECT_EQ(DifferingPixels(*png, direct.Screen()), 0);
    DirectEditor atRest;
    atRest.Set(kIn, 20);
    EXPECT_GT(DifferingPixels(*png, atRest.Screen()), 0);
}

TEST(KestromEditorCommand, FailuresExitWithOneLineAndLeaveNoFile) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(1, 100)));
    const std::string png = dir.File("p.png");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"editor"}, kExitUsage, "--png"},
        {{"editor", "--png", png, "--click", "10"}, kExitUsage, "X,Y"},
        {{"editor", "--png", png, "--click", "10,y"}, kExitUsage, "X,Y"},
        {{"editor", "--png", png, "--click", "1,2,3"}, kExitUsage, "X,Y"},
        {{"editor", "--png", png, "--reduction", "nan"}, kExitUsage, "finite"},
        {{"editor", "--png", png, "--power", "dim"}, kExitUsage, "power"},
        {{"editor", "--png", png, "--click", "298,10"}, kExitUsage, "outside"},
        {{"editor", "--png", png, "--click", "5,-1"}, kExitUsage, "outside"},
        {{"editor", "--png", ""}, kExitUsage, "empty"},
        {{"editor", "--png", dir.File("nowhere/p.png")}, kExitFailure, "nowhere"},
        {{"editor", "--png", dir.File("")}, kExitFailure, "directory"},
        {{"process", dir.File("in.wav"), dir.File("out.wav"), "--editor-png", dir.File("nowhere/p.png")}, kExitFailure,
         "nowhere"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const ToolRun run = RunKestrom(c.args);
        EXPECT_EQ(run.status, c.status);
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"in.wav"});
    }
}

}  // namespace
}  // namespace kestrom::tool
