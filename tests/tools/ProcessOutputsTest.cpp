// What `kestrom process` does to the files it is pointed at: it never lets
// an output replace the input or another output, follows links, writes into
// devices and FIFOs without replacing them, and changes no target unless the
// whole run succeeded.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/tools/ToolRun.h"
#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/CommandLine.h"

namespace kestrom::tool {
namespace {

using testing::ExpectOneErrorLine;
using testing::ReadBytes;
using testing::RunKestrom;
using testing::ScratchDir;
using testing::ToolRun;

TEST(KestromProcessOutputs, PathsNamingOneFileAreRefusedBeforeAnythingIsTouched) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("a.wav"), testing::Sines(2, 1000)));
    ASSERT_TRUE(testing::WriteAudio(dir.File("o.wav"), testing::Sines(2, 10)));
    ASSERT_EQ(symlink("a.wav", dir.File("link.wav").c_str()), 0);
    ASSERT_EQ(link(dir.File("a.wav").c_str(), dir.File("hard.wav").c_str()), 0);
    const std::string a = dir.File("a.wav"), o = dir.File("o.wav");
    const std::string inputBytes = ReadBytes(a), outputBytes = ReadBytes(o);
    const std::vector<std::vector<std::string>> cases = {
        {"process", a, a},
        {"process", a, dir.File("./sub/../a.wav")},
        {"process", a, dir.File("link.wav")},
        {"process", a, dir.File("hard.wav")},
        {"process", a, o, "--meter", a},
        {"process", a, o, "--meter", o},
        {"process", a, o, "--editor-png", o},
        {"process", a, o, "--meter", dir.File("new.txt"), "--editor-png", dir.File("new.txt")},
    };
    std::filesystem::create_directory(dir.File("sub"));
    for (const auto& args : cases) {
        SCOPED_TRACE(args[2] + (args.size() > 3 ? " " + args[3] + " " + args.back() : ""));
        const ToolRun run = RunKestrom(args);
        EXPECT_EQ(run.status, kExitUsage);
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find("name the same file"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(a), inputBytes);
        EXPECT_EQ(ReadBytes(o), outputBytes);
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.wav", "hard.wav", "link.wav", "o.wav", "sub"}));
}

TEST(KestromProcessOutputs, DevNullAndFifosAreWrittenIntoAndLinksKeptWhileTheirTargetIsReplaced) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 3000)));
    ASSERT_EQ(RunKestrom({"process", dir.File("in.wav"), dir.File("plain.wav"), "-q"}).status, kExitOk);
    const std::string expected = testing::WavBytes(dir.File("plain.wav"));

    struct stat before {};
    ASSERT_EQ(stat("/dev/null", &before), 0);
    ToolRun run = RunKestrom({"process", dir.File("in.wav"), "/dev/null", "--meter", dir.File("m.txt"), "-q"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    struct stat after {};
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);

    {
        testing::FifoReader reader(dir.File("pipe"));
        run = RunKestrom({"process", dir.File("in.wav"), dir.File("pipe"), "-q"});
        EXPECT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(testing::WithoutPeakTime(reader.Join()), expected);  // the whole WAV, header rewritten, through the pipe
    }

    ASSERT_TRUE(testing::WriteAudio(dir.File("take.wav"), testing::Sines(1, 5)));
    ASSERT_EQ(symlink("take.wav", dir.File("latest.wav").c_str()), 0);
    run = RunKestrom({"process", dir.File("in.wav"), dir.File("latest.wav"), "-q"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    struct stat link {};
    ASSERT_EQ(lstat(dir.File("latest.wav").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(testing::WavBytes(dir.File("take.wav")), expected);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.wav", "latest.wav", "m.txt", "pipe", "plain.wav", "take.wav"}));
}

// The run fails on its last output: the first may not have replaced its
// target already.
TEST(KestromProcessOutputs, NoOutputReplacesAnythingUnlessEveryOutputCanBeWritten) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 3000)));
    ASSERT_TRUE(testing::WriteAudio(dir.File("o.wav"), testing::Sines(2, 7)));
    std::filesystem::create_directory(dir.File("folder"));
    const std::string old = ReadBytes(dir.File("o.wav"));
    for (const std::string& meter : {dir.File("folder"), dir.File("missing/m.txt")}) {
        SCOPED_TRACE(meter);
        const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("o.wav"), "--meter", meter});
        EXPECT_EQ(run.status, kExitFailure);
        ExpectOneErrorLine(run);
        EXPECT_EQ(ReadBytes(dir.File("o.wav")), old);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder", "in.wav", "o.wav"}));
    }
}

TEST(KestromProcessOutputs, NoSyncWritesTheSameBytes) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(1, 2000)));
    ASSERT_EQ(RunKestrom({"process", dir.File("in.wav"), dir.File("a.wav"), "-q"}).status, kExitOk);
    ASSERT_EQ(RunKestrom({"process", dir.File("in.wav"), dir.File("b.wav"), "-q", "--no-sync"}).status, kExitOk);
    EXPECT_EQ(testing::WavBytes(dir.File("a.wav")), testing::WavBytes(dir.File("b.wav")));
}

}  // namespace
}  // namespace kestrom::tool
