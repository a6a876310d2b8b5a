// The module used from two threads at once, as a host uses it: its audio
// thread rendering through the routine table while its user-interface thread
// sets controls, saves, restores and compares state, reads the meter, toggles
// the bypass, makes and destroys instances, or closes the module; and a knob
// moved in the editor while another thread of the host uses the routines.
// Nothing may crash, deadlock or trip the sanitizers, every routine answers as
// it would alone, and the audio stays finite.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "standins/windows/KestromWindows.h"
#include "tests/module/ModuleProcess.h"
#include "tools/host/HostedEditor.h"
#include "tools/host/HostedPlugin.h"
#include "tools/host/ModuleHost.h"

namespace {

using namespace moduletest;

constexpr int kFrames = 256;

// Renders blocks of music through one instance on a thread of its own until
// told to stop (or `blocks` are done), counting the blocks and remembering the
// first status other than success and whether any sample was not finite.
class AudioThread {
public:
    AudioThread(const HostProcess& host, PI_Instance instance, int channels, int blocks = -1)
        : render_(host.Routine<PI_RenderProc>(PI_SEL_RENDER)), instance_(instance), channels_(channels),
          blocks_(blocks) {}
    ~AudioThread() { Join(); }

    void Start() { thread_ = std::thread([this] { Run(); }); }
    void Stop() { stop_.store(true); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    // Waits until at least `n` blocks are done (or the thread stopped).
    void WaitFor(int n) const {
        while (done_.load() < n && !finished_.load()) std::this_thread::yield();
    }

    int Done() const { return done_.load(); }
    bool Finished() const { return finished_.load(); }
    PI_Status FirstFailure() const { return failure_.load(); }
    bool AllFinite() const { return finite_.load(); }

private:
    void Run() {
        std::vector<std::vector<float>> in(static_cast<std::size_t>(channels_)), out(in.size());
        for (int c = 0; c < channels_; ++c) out[static_cast<std::size_t>(c)].assign(kFrames, 0.0f);
        std::vector<std::vector<float>> music;
        for (int c = 0; c < channels_; ++c) music.push_back(Music(kFrames * 64, c, 11));
        const float* inputs[2] = {};
        float* outputs[2] = {};
        for (int b = 0; (blocks_ < 0 || b < blocks_) && !stop_.load(); ++b) {
            for (int c = 0; c < channels_; ++c) {
                inputs[c] = music[static_cast<std::size_t>(c)].data() + (b % 64) * kFrames;
                outputs[c] = out[static_cast<std::size_t>(c)].data();
            }
            const PI_RenderRecord record{inputs, channels_, outputs, channels_, kFrames, 1, nullptr};
            const PI_Status status = render_(instance_, &record);
            if (status != PI_NoErr) {
                failure_.store(status);
                break;
            }
            for (int c = 0; c < channels_; ++c)
                for (float v : out[static_cast<std::size_t>(c)])
                    if (!std::isfinite(v)) finite_.store(false);
            done_.fetch_add(1);
        }
        finished_.store(true);
    }

    PI_RenderProc render_;
    PI_Instance instance_;
    int channels_;
    int blocks_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> done_{0};
    std::atomic<PI_Status> failure_{PI_NoErr};
    std::atomic<bool> finite_{true};
};

class ModuleConcurrency : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override { ASSERT_TRUE(host.LoadAndOpen()); }
    int Channels() const { return GetParam() == kMono ? 1 : 2; }

    HostProcess host;
};

INSTANTIATE_TEST_SUITE_P(BothTypes, ModuleConcurrency, ::testing::Values(kMono, kStereo),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return info.param == kMono ? std::string("Mono") : std::string("Stereo");
                         });

TEST_P(ModuleConcurrency, RenderingWhileTheHostChangesControlsStateAndBypass) {
    Instance plug(host, GetParam());
    ASSERT_TRUE(plug.Ok());
    const std::vector<unsigned char> defaults = plug.Chunk();
    plug.SetNumber(kIn, 15);
    const std::vector<unsigned char> driven = plug.Chunk();

    AudioThread audio(host, plug.handle, Channels());
    audio.Start();
    audio.WaitFor(1);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> gain(-20.0, 20.0);
    const auto valueText = plug.Routine<PI_ControlValueTextProc>(PI_SEL_CONTROL_VALUE_TEXT);
    const auto forText = plug.Routine<PI_ControlValueForTextProc>(PI_SEL_CONTROL_VALUE_FOR_TEXT);
    for (int rounds = 1; rounds <= 300 && !audio.Finished(); ++rounds) {
        plug.SetNumber(kIn, gain(random));
        plug.SetNumber(kOut, gain(random));
        const int sw = kDeep + static_cast<int>(random() % 5);
        EXPECT_EQ(plug.Set(sw, (random() & 1) != 0 ? kOn : kOff), PI_NoErr);
        int32_t value = 0;
        EXPECT_EQ(forText(plug.handle, kIn, "3.5", &value), PI_NoErr);
        EXPECT_EQ(plug.Set(kIn, value), PI_NoErr);
        char text[32];
        EXPECT_EQ(valueText(plug.handle, kOut, plug.Value(kOut), 8, text, sizeof text), PI_NoErr);

        const std::vector<unsigned char> now = plug.Chunk();
        EXPECT_EQ(plug.Matches(now), 1);
        EXPECT_EQ(plug.Restore((rounds & 1) != 0 ? driven : defaults), PI_NoErr);
        EXPECT_EQ(plug.Restore(now), PI_NoErr);

        const auto meter = plug.Meter();
        EXPECT_TRUE(std::isfinite(meter.first));
        if (rounds % 7 == 0) {
            EXPECT_EQ(plug.SetBypass(true), PI_NoErr);
            EXPECT_EQ(plug.SetBypass(false), PI_NoErr);
        }
        if (rounds % 5 < 2) {
            EXPECT_EQ(plug.Set(kPower, rounds % 5 == 0 ? kOff : kOn), PI_NoErr);
        }
        std::this_thread::yield();
    }
    audio.Stop();
    audio.Join();
    EXPECT_EQ(audio.FirstFailure(), PI_NoErr);
    EXPECT_GT(audio.Done(), 0);
    EXPECT_TRUE(audio.AllFinite());
}

TEST_P(ModuleConcurrency, TwoInstancesRenderWhileOthersComeAndGo) {
    Instance first(host, GetParam()), second(host, kStereo);
    ASSERT_TRUE(first.Ok() && second.Ok());
    AudioThread audioA(host, first.handle, Channels());
    AudioThread audioB(host, second.handle, 2);
    audioA.Start();
    audioB.Start();
    audioA.WaitFor(1);
    audioB.WaitFor(1);
    const std::vector<unsigned char> state = first.Chunk();
    for (int made = 0; made < 60 && !audioA.Finished() && !audioB.Finished(); ++made) {
        Instance passing(host, (made & 1) != 0 ? kMono : kStereo);
        EXPECT_TRUE(passing.Ok()) << passing.status;
        passing.SetNumber(kIn, 4.0);
        EXPECT_EQ(second.Restore(passing.Chunk()), PI_NoErr);
        EXPECT_EQ(first.Restore(state), PI_NoErr);
    }
    audioA.Stop();
    audioB.Stop();
    audioA.Join();
    audioB.Join();
    EXPECT_EQ(audioA.FirstFailure(), PI_NoErr);
    EXPECT_EQ(audioB.FirstFailure(), PI_NoErr);
    EXPECT_TRUE(audioA.AllFinite() && audioB.AllFinite());
    EXPECT_GT(audioA.Done(), 0);
    EXPECT_GT(audioB.Done(), 0);
}

TEST_P(ModuleConcurrency, AnInstanceDestroyedWhileItRendersStopsAnsweringAndNothingBreaks) {
    const auto create = host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
    const auto initialize = host.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE);
    const auto destroy = host.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE);
    const PI_InstanceSetup setup{48000};
    for (int round = 0; round < 5; ++round) {
        PI_Instance handle = 0;
        ASSERT_EQ(create(GetParam(), &handle), PI_NoErr);
        ASSERT_EQ(initialize(handle, &setup), PI_NoErr);
        AudioThread audio(host, handle, Channels());
        audio.Start();
        audio.WaitFor(3 + round * 5);
        EXPECT_EQ(destroy(handle), PI_NoErr);
        audio.Join();  // it stops at its first failing block
        EXPECT_EQ(audio.FirstFailure(), PI_ErrBadInstance);
        EXPECT_TRUE(audio.AllFinite());
    }
}

TEST_P(ModuleConcurrency, TheModuleClosedWhileItRendersStopsAnsweringAndNothingBreaks) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        Instance plug(host, GetParam());
        ASSERT_TRUE(plug.Ok());
        AudioThread audio(host, plug.handle, Channels());
        audio.Start();
        audio.WaitFor(4 + round * 4);
        ASSERT_EQ(host.EngineClose(), 0);  // the instance goes with the group
        audio.Join();
        const PI_Status failure = audio.FirstFailure();
        EXPECT_TRUE(failure == PI_ErrNotOpen || failure == PI_ErrBadInstance) << failure;
        EXPECT_TRUE(audio.AllFinite());
        ASSERT_EQ(host.EngineOpen(), 0);
    }
}

// Ends the test process with a failure when it is not dismissed within the
// given time: a deadlock must fail the test, not hang it.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, const char* what)
        : thread_([this, limit, what] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, limit, [this] { return dismissed_; })) {
                  std::fprintf(stderr, "deadlock: %s did not finish within %lld s\n", what,
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            dismissed_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool dismissed_ = false;
    std::thread thread_;
};

// The user drags a knob in the editor on the host's UI thread (which owns the
// windows), and the host answers every value the plug-in reports through
// PI_SetControlValue, as a host with automation does; meanwhile a second
// thread of the host saves the state, sets controls and makes, initialises
// and destroys other instances. A report sent while the plug-in's lock is
// held, answered through the routine table, would wait for the registry's
// lock that the second thread holds while it waits for the plug-in's lock.
TEST(ModuleConcurrencyWithEditor, AKnobDraggedWhileAnotherThreadUsesTheRoutinesNeverDeadlocks) {
    using namespace kestrom::host;
    ModuleHost module;
    std::string error;
    ASSERT_TRUE(module.Load(KESTROM_MODULE, error)) << error;
    const ModuleRoutines& r = module.Routines();
    HostedPlugin plug(module);
    ASSERT_TRUE(plug.Create(kStereo, 48000, error)) << error;
    HostedEditor editor(module, plug);
    ASSERT_TRUE(editor.Open(error)) << error;
    ASSERT_TRUE(editor.Settle(error)) << error;
    const PI_Instance handle = plug.Handle();

    struct EchoingHost {
        PI_ControlSetIntProc setControl;
        std::atomic<int> values{0};
        std::atomic<PI_Status> failure{PI_NoErr};
    } host{r.setControlValue};
    PI_HostCallbacks callbacks{};
    callbacks.context = &host;
    callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t value) {
        auto* self = static_cast<EchoingHost*>(context);
        self->values.fetch_add(1);
        const PI_Status status = self->setControl(instance, control, value);
        if (status != PI_NoErr) self->failure.store(status);
    };
    ASSERT_EQ(r.setHostCallbacks(handle, &callbacks), PI_NoErr);

    const Watchdog watchdog(std::chrono::seconds(120), "dragging a knob while another thread uses the routines");
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::atomic<PI_Status> routineFailure{PI_NoErr};
    std::thread other([&] {
        const auto check = [&](PI_Status status) {
            if (status != PI_NoErr) routineFailure.store(status);
        };
        std::vector<unsigned char> chunk(static_cast<std::size_t>(kChunkBytes));
        const PI_InstanceSetup setup{44100};
        for (int n = 0; !stop.load(); ++n) {
            check(r.getChunk(handle, kChunkId, chunk.data(), static_cast<int32_t>(chunk.size())));
            check(r.setControlValue(handle, kOut, (n & 1) != 0 ? kOn / 3 : kOff / 3));
            check(r.setControlValue(handle, kRelaxed, (n & 2) != 0 ? kOn : kOff));
            if (n % 8 == 0) {
                PI_Instance passing = 0;
                check(r.createInstance(kMono, &passing));
                check(r.initializeInstance(passing, &setup));
                check(r.destroyInstance(passing));
            }
            rounds.fetch_add(1);
        }
    });

    // Drags on In, its knob's middle at (74, 237): press, twenty moves up or
    // down, release; the window system's timers run between drags (the editor
    // redraws what the other thread changed).
    int x = 0, y = 0;
    ASSERT_TRUE(editor.EditorOrigin(x, y));
    const auto window = static_cast<KsWin_Window>(editor.HostWindow());
    const auto send = [&](uint32_t type, int dy) {
        const KsWin_MouseInput input{type, x + 74, y + 237 + dy, KSWIN_BUTTON_LEFT, 0, 0};
        EXPECT_EQ(KsWin_SendMouse(window, &input, nullptr), KSWIN_OK);
    };
    for (int drag = 0; drag < 150 || rounds.load() < 50; ++drag) {
        send(KSWIN_MSG_MOUSE_DOWN, 0);
        for (int step = 1; step <= 20; ++step) send(KSWIN_MSG_MOUSE_MOVE, (drag & 1) != 0 ? step : -step);
        send(KSWIN_MSG_MOUSE_UP, (drag & 1) != 0 ? 20 : -20);
        KsWin_RunTimers(40, nullptr);
    }
    stop.store(true);
    other.join();
    EXPECT_GT(host.values.load(), 0);
    EXPECT_EQ(host.failure.load(), PI_NoErr);
    EXPECT_EQ(routineFailure.load(), PI_NoErr);
}

}  // namespace
