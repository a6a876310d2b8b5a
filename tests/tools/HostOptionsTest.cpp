// The options through which `kestrom` acts as the plug-in's host: what the
// module registers (info), its saved state, typed control texts and the
// host's bypass.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
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

TEST(KestromInfo, ListsTheRegistrationAndEveryHostControl) {
    const ToolRun run = RunKestrom({"info"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    for (const char* expected :
         {"maker:     Tollbrink, Tollbrink, TbRk; ID 'TbRk'", "product:   Kestrom, Kestrom; ID 'KsT2'",
          "category:  Dynamics (code 2)", "'KsT1' (0x4B735431) Kestrom, Kestrom: 1 in, 1 out; stem formats 0 and 0",
          "'KsT2' (0x4B735432) Kestrom, Kestrom: 2 in, 2 out; stem formats 1 and 1", "controls (8):",
          "ID 'bypa' (0x62797061), on/off, master bypass",
          "names: \"Master Bypass\" (31) / \"MastrByp\" (8) / \"MByp\" (4)", "ID ' ld ' (0x206C6420), linear",
          "range -20 to 20, 401 steps, default \"0.0\", now \"0.0\"", "8. Power",
          "range 0 to 1, 2 steps, default \"on\", now \"on\""}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    }
    const ToolRun missing = RunKestrom({"info", "--module", "/nonexistent/Kestrom.so"});
    EXPECT_EQ(missing.status, kExitFailure);
    ExpectOneErrorLine(missing);
}

TEST(KestromHostOptions, SavedStateRestoresTheSameSoundAndForeignStatesAreRefused) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(2, 6000, 48000, 0.8)));
    ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("a.wav"), "--in", "9", "--negative",
                              "--save-state", dir.File("state.bin"), "-q"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const std::string state = ReadBytes(dir.File("state.bin"));
    ASSERT_EQ(state.size(), 56u + 7 * 8);  // the host's header and seven values
    run = RunKestrom({"process", dir.File("in.wav"), dir.File("b.wav"), "--state", dir.File("state.bin"), "-q"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(testing::WavBytes(dir.File("b.wav")), testing::WavBytes(dir.File("a.wav")));

    // Options given with a state override it.
    run = RunKestrom({"process", dir.File("in.wav"), dir.File("c.wav"), "--state", dir.File("state.bin"), "--in", "0"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("In 0.0, Out 0.0, Deep off, Relaxed off, Dual Mono off, Negative on"), std::string::npos)
        << run.out;

    std::string foreign = state;
    foreign[20] = 'X';  // another chunk ID
    std::string shortened = state.substr(0, 60);
    testing::WriteBytes(dir.File("foreign.bin"), foreign);
    testing::WriteBytes(dir.File("short.bin"), shortened);
    testing::WriteBytes(dir.File("empty.bin"), "");
    for (const char* bad : {"foreign.bin", "short.bin", "empty.bin", "missing.bin"}) {
        SCOPED_TRACE(bad);
        run = RunKestrom({"process", dir.File("in.wav"), dir.File("d.wav"), "--state", dir.File(bad)});
        EXPECT_EQ(run.status, kExitFailure);
        ExpectOneErrorLine(run);
        EXPECT_NE(run.err.find(bad), std::string::npos) << run.err;
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.wav", "b.wav", "c.wav", "empty.bin", "foreign.bin",
                                                       "in.wav", "short.bin", "state.bin"}));
}

// Feeds `bytes` into the FIFO at `path`, over and over when `endless`, until
// the reader closes it. Joined by the destructor, which first opens and closes
// the reading end so that a writer whose reader never came is released.
class FifoFeeder {
public:
    FifoFeeder(std::string path, std::string bytes, bool endless) : path_(std::move(path)) {
        EXPECT_EQ(mkfifo(path_.c_str(), 0600), 0);
        thread_ = std::thread([this, bytes = std::move(bytes), endless] {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);  // a closed reader is EPIPE here, not a signal
            const int fd = open(path_.c_str(), O_WRONLY);
            if (fd < 0) return;
            do {
                if (write(fd, bytes.data(), bytes.size()) < 0) break;
            } while (endless);
            close(fd);
        });
    }
    ~FifoFeeder() {
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        thread_.join();
    }

private:
    std::string path_;
    std::thread thread_;
};

// A state may come from anything that can be read (a pipe, a process
// substitution, a device), so its size is never asked of the file: an
// endless source is refused after one byte past the limit.
TEST(KestromHostOptions, StatesAreReadFromPipesAndEndlessSourcesAreRefusedAtTheLimit) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(1, 2000, 48000, 0.8)));
    ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("a.wav"), "--in", "9", "--save-state",
                              dir.File("state.bin"), "-q"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    {
        FifoFeeder feeder(dir.File("pipe"), ReadBytes(dir.File("state.bin")), false);
        run = RunKestrom({"process", dir.File("in.wav"), dir.File("b.wav"), "--state", dir.File("pipe"), "-q"});
    }
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(testing::WavBytes(dir.File("b.wav")), testing::WavBytes(dir.File("a.wav")));
    ASSERT_EQ(unlink(dir.File("pipe").c_str()), 0);
    {
        FifoFeeder feeder(dir.File("pipe"), std::string(64 * 1024, '\0'), true);
        run = RunKestrom({"process", dir.File("in.wav"), dir.File("c.wav"), "--state", dir.File("pipe")});
    }
    EXPECT_EQ(run.status, kExitFailure);
    ExpectOneErrorLine(run);
    EXPECT_NE(run.err.find("not a saved state"), std::string::npos) << run.err;
}

TEST(KestromHostOptions, TypedControlTextsGoThroughTheControlsParsing) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), testing::Sines(1, 3000, 48000, 0.8)));
    ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("a.wav"), "--in", "3.5", "-q"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    run = RunKestrom({"process", dir.File("in.wav"), dir.File("b.wav"), "--control", "in=3.5", "--control",
                      "Dual Mono=on", "--control", "dual mono=off", "-q"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(testing::WavBytes(dir.File("b.wav")), testing::WavBytes(dir.File("a.wav")));

    // 3.5k is 3500, which the knob holds at its end.
    run = RunKestrom({"process", dir.File("in.wav"), dir.File("c.wav"), "--control", "Out=3.5k"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("Out 20.0"), std::string::npos) << run.out;

    const std::vector<std::vector<std::string>> refused = {
        {"--control", "In=loud"},       {"--control", "In=3.5 dB"}, {"--control", "Volume=3"},
        {"--control", "In"},            {"--control", "=3"},
    };
    for (const auto& args : refused) {
        SCOPED_TRACE(args[1]);
        std::vector<std::string> all = {"process", dir.File("in.wav"), dir.File("d.wav")};
        all.insert(all.end(), args.begin(), args.end());
        run = RunKestrom(all);
        EXPECT_EQ(run.status, kExitUsage);
        ExpectOneErrorLine(run);
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.wav", "b.wav", "c.wav", "in.wav"}));
}

TEST(KestromHostOptions, TheHostsBypassGivesTheInputBackUntouched) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        ScratchDir dir;
        const testing::Audio input = testing::Sines(channels, 5000, 44100, 0.9);
        ASSERT_TRUE(testing::WriteAudio(dir.File("in.wav"), input));
        const ToolRun run = RunKestrom({"process", dir.File("in.wav"), dir.File("out.wav"), "--bypass", "--in", "20"});
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_NE(run.out.find("Master Bypass On"), std::string::npos) << run.out;
        EXPECT_EQ(testing::ReadAudio(dir.File("out.wav")).samples, input.samples);
    }
}

}  // namespace
}  // namespace kestrom::tool
