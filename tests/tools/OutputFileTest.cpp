#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/Interruption.h"
#include "tools/kestrom/OutputFile.h"

namespace kestrom::tool {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

// Prepares `file` and writes `text` into its temporary file.
void Fill(OutputFile& file, const std::string& text) {
    std::string error;
    ASSERT_TRUE(file.Prepare(error)) << error;
    ASSERT_EQ(write(file.Descriptor(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

bool Commit(OutputFile& file, std::string& error) { return OutputFile::CommitAll({&file}, true, error); }

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode;
}

TEST(OutputFile, ReplacesRegularFilesKeepingTheirPermissionsAndCreatesNewOnes) {
    ScratchDir dir;
    WriteBytes(dir.File("old.txt"), "old");
    chmod(dir.File("old.txt").c_str(), 0640);
    OutputFile old(dir.File("old.txt")), fresh(dir.File("new.txt"));
    Fill(old, "replaced");
    Fill(fresh, "created");
    EXPECT_EQ(ReadBytes(dir.File("old.txt")), "old");  // nothing changes before the commit
    std::string error;
    ASSERT_TRUE(OutputFile::CommitAll({&old, &fresh}, true, error)) << error;
    EXPECT_EQ(ReadBytes(dir.File("old.txt")), "replaced");
    EXPECT_EQ(ReadBytes(dir.File("new.txt")), "created");
    EXPECT_EQ(ModeOf(dir.File("old.txt")) & 07777, 0640u);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(ModeOf(dir.File("new.txt")) & 07777, 0666u & ~mask);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"new.txt", "old.txt"}));
}

TEST(OutputFile, SymbolicLinksAreFollowedAndKept) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("takes"));
    WriteBytes(dir.File("takes/a.wav"), "old");
    symlink("takes/a.wav", dir.File("relative").c_str());
    symlink("relative", dir.File("chain").c_str());
    symlink(dir.File("takes/b.wav").c_str(), dir.File("dangling").c_str());
    OutputFile viaChain(dir.File("chain")), viaDangling(dir.File("dangling"));
    Fill(viaChain, "new a");
    Fill(viaDangling, "new b");
    EXPECT_EQ(viaChain.ResolvedTarget(), dir.File("takes/a.wav"));
    std::string error;
    ASSERT_TRUE(OutputFile::CommitAll({&viaChain, &viaDangling}, false, error)) << error;
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("chain"))));
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("relative"))));
    EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("dangling"))));
    EXPECT_EQ(ReadBytes(dir.File("takes/a.wav")), "new a");
    EXPECT_EQ(ReadBytes(dir.File("takes/b.wav")), "new b");
}

TEST(OutputFile, DevicesAndFifosAreWrittenIntoNeverReplaced) {
    ScratchDir dir;
    struct stat before {};
    ASSERT_EQ(stat("/dev/null", &before), 0);
    OutputFile null("/dev/null");
    Fill(null, "discarded");
    EXPECT_TRUE(null.WritesThrough());
    std::string error;
    ASSERT_TRUE(Commit(null, error)) << error;
    struct stat after {};
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);

    testing::FifoReader reader(dir.File("pipe"));
    OutputFile fifo(dir.File("pipe"));
    Fill(fifo, std::string(3 << 20, 'x'));  // more than a pipe holds: the copy has to wait for the reader
    EXPECT_NE(fifo.TempPath().find(std::filesystem::temp_directory_path().string()), std::string::npos);
    ASSERT_TRUE(Commit(fifo, error)) << error;
    EXPECT_EQ(reader.Join(), std::string(3 << 20, 'x'));
    EXPECT_TRUE(S_ISFIFO(ModeOf(dir.File("pipe"))));
    EXPECT_TRUE(fifo.TempPath().empty());

    // /dev/stdout and its kind: a link the kernel follows to a pipe that has
    // no name of its own.
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string received;
    std::thread drain([&] {
        char buffer[256];
        for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;) received.append(buffer, static_cast<std::size_t>(got));
    });
    {
        OutputFile out("/proc/self/fd/" + std::to_string(ends[1]));
        Fill(out, "through a descriptor");
        EXPECT_TRUE(out.WritesThrough());
        EXPECT_TRUE(Commit(out, error)) << error;
    }
    close(ends[1]);
    drain.join();
    close(ends[0]);
    EXPECT_EQ(received, "through a descriptor");
}

TEST(OutputFile, RefusesWhatItMustNotReplaceBeforeAnyWorkIsDone) {
    ScratchDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    WriteBytes(dir.File("locked.wav"), "precious");
    chmod(dir.File("locked.wav").c_str(), 0444);
    symlink("loop", dir.File("loop").c_str());
    const struct {
        std::string path;
        const char* says;
    } cases[] = {
        {dir.File("folder"), "is a directory"},
        {dir.File("folder/"), "directory"},
        {dir.File("locked.wav"), "read-only"},
        {dir.File("loop"), "symbolic links"},
        {dir.File("missing/out.wav"), "missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        OutputFile file(c.path);
        std::string error;
        EXPECT_FALSE(file.Prepare(error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(dir.File("locked.wav")), "precious");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder", "locked.wav", "loop"}));
}

// A failure while putting one output in place leaves the others' targets as
// they were: the FIFO's reader goes away after a few bytes, before any file
// is renamed.
TEST(OutputFile, AFailingOutputKeepsEveryOtherTargetUntouched) {
    ScratchDir dir;
    WriteBytes(dir.File("take.wav"), "old take");
    std::signal(SIGPIPE, SIG_IGN);  // the write fails with EPIPE instead
    {
        testing::FifoReader reader(dir.File("pipe"), 10);
        OutputFile take(dir.File("take.wav")), pipe(dir.File("pipe"));
        Fill(take, "new take");
        Fill(pipe, std::string(1 << 20, 'y'));
        std::string error;
        EXPECT_FALSE(OutputFile::CommitAll({&take, &pipe}, true, error));
        EXPECT_NE(error.find("pipe"), std::string::npos) << error;
    }
    std::signal(SIGPIPE, SIG_DFL);
    EXPECT_EQ(ReadBytes(dir.File("take.wav")), "old take");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"pipe", "take.wav"}));
}

TEST(OutputFile, AnInterruptionBeforeTheCommitChangesNothing) {
    ScratchDir dir;
    WriteBytes(dir.File("a.txt"), "a");
    {
        OutputFile a(dir.File("a.txt")), b(dir.File("b.txt"));
        Fill(a, "new a");
        Fill(b, "new b");
        Interruption::Set(SIGHUP);
        std::string error;
        EXPECT_FALSE(OutputFile::CommitAll({&a, &b}, true, error));
        Interruption::Set(0);
        EXPECT_NE(error.find("SIGHUP"), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(dir.File("a.txt")), "a");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace kestrom::tool
