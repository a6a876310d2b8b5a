// Terminating signals sent to a real `kestrom` process: whatever the signal
// and wherever it lands, the run stops with exit status 128 + signal, every
// temporary file is gone and every target is as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/tools/ToolTestFiles.h"

extern char** environ;

namespace kestrom::tool {
namespace {

using namespace std::chrono_literals;
using testing::ReadBytes;
using testing::ScratchDir;

// The tool started with `args`, its temporary directory set to `tmp`.
class Child {
public:
    Child(const std::vector<std::string>& args, const std::string& tmp) {
        std::vector<std::string> env = {"TMPDIR=" + tmp};
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::string(*e).rfind("TMPDIR=", 0) != 0) {
                env.push_back(*e);
            }
        }
        std::vector<char*> argv = {const_cast<char*>(KESTROM_TOOL_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        spawned_ = posix_spawn(&pid_, KESTROM_TOOL_BINARY, &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (spawned_ && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Spawned() const { return spawned_; }
    void Send(int signal) { kill(pid_, signal); }
    // The exit status, or -1 if it has not ended within `limit` (or was killed by a signal).
    int Wait(std::chrono::milliseconds limit) {
        for (auto waited = 0ms; waited < limit && status_ < 0; waited += 10ms) {
            int raw = 0;
            if (waitpid(pid_, &raw, WNOHANG) == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 1000 + WTERMSIG(raw);
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    bool spawned_ = false;
    int status_ = -1;
};

// Waits until one of the directory's entries contains `part`.
bool AppearsIn(const ScratchDir& dir, const std::string& part) {
    for (int i = 0; i < 1000; ++i) {
        for (const std::string& name : dir.Entries()) {
            if (name.find(part) != std::string::npos) {
                return true;
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// The run's temporary files are made before any processing; its output, a
// FIFO nobody reads, then holds it at the very end, waiting in open().
TEST(KestromSignals, EveryTerminatingSignalLeavesTargetsUntouchedAndNoTemporaryFiles) {
    for (int signal : {SIGHUP, SIGINT, SIGTERM, SIGQUIT, SIGPIPE}) {
        SCOPED_TRACE(signal);
        ScratchDir dir;
        ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 20000)));
        testing::WriteBytes(dir.File("m.txt"), "old meter\n");
        mkfifo(dir.File("pipe").c_str(), 0600);
        Child child({"process", dir.File("in.wav"), dir.File("pipe"), "--meter", dir.File("m.txt"), "--editor-png",
                     dir.File("p.png")},
                    dir.File(""));
        ASSERT_TRUE(child.Spawned());
        ASSERT_TRUE(AppearsIn(dir, ".p.png.kestrom-"));
        std::this_thread::sleep_for(50ms);
        child.Send(signal);
        EXPECT_EQ(child.Wait(20s), 128 + signal);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.wav", "m.txt", "pipe"}));
        EXPECT_EQ(ReadBytes(dir.File("m.txt")), "old meter\n");
    }
}

// The reader of the output pipe goes away after a few bytes: the write fails
// with SIGPIPE, and the other outputs are not put in place.
TEST(KestromSignals, AReaderThatGoesAwayEndsTheRunLikeSigpipe) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 200000)));
    testing::WriteBytes(dir.File("m.txt"), "old meter\n");
    testing::FifoReader reader(dir.File("pipe"), 100);
    Child child({"process", dir.File("in.wav"), dir.File("pipe"), "--meter", dir.File("m.txt")}, dir.File(""));
    ASSERT_TRUE(child.Spawned());
    EXPECT_EQ(child.Wait(60s), 128 + SIGPIPE);
    EXPECT_EQ(reader.Join().size(), 100u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.wav", "m.txt", "pipe"}));
    EXPECT_EQ(ReadBytes(dir.File("m.txt")), "old meter\n");
}

// Ten minutes at 192 kHz take many seconds to synthesise: Ctrl-C must stop it
// part-way, and leave no file.
TEST(KestromSignals, GenerateDemoStopsOnCtrlC) {
    ScratchDir dir;
    Child child({"generate-demo", dir.File("demo.wav"), "--seconds", "600", "--rate", "192000"}, dir.File(""));
    ASSERT_TRUE(child.Spawned());
    ASSERT_TRUE(AppearsIn(dir, ".demo.wav.kestrom-"));
    child.Send(SIGINT);
    EXPECT_EQ(child.Wait(20s), 128 + SIGINT);
    EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
}  // namespace kestrom::tool
