#include "hostlib/CInstanceRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "TestModule.h"

using namespace hostlib_test;

namespace {

using InstanceRegistry = ModuleTest;

}  // namespace

TEST_F(InstanceRegistry, HandlesArePositiveAndNeverHandedOutTwice) {
    std::set<PI_Instance> seen;
    PI_Instance kept = NewInstance(kMonoType, false);
    seen.insert(kept);
    // More creations than slots: every slot is used again, with a new handle.
    for (int i = 0; i < 3 * CInstanceRegistry::kSlots; ++i) {
        PI_Instance instance = 0;
        ASSERT_EQ(host.create(kStereoType, &instance), PI_NoErr);
        EXPECT_GT(instance, 0);
        EXPECT_TRUE(seen.insert(instance).second) << "handle " << instance << " handed out twice";
        ASSERT_EQ(host.destroy(instance), PI_NoErr);
    }
    int32_t type = 0;
    EXPECT_EQ(host.instanceType(kept, &type), PI_NoErr);
    EXPECT_EQ(type, kMonoType);
}

TEST_F(InstanceRegistry, HandlesThatNameNoLiveInstanceAreRefused) {
    PI_Instance destroyed = NewInstance();
    ASSERT_EQ(host.destroy(destroyed), PI_NoErr);
    const PI_Instance live = NewInstance();
    for (PI_Instance bad : {0, -1, INT32_MIN, destroyed, live + 1, live + CInstanceRegistry::kSlots}) {
        int32_t value = 0;
        PI_Rect rect;
        const PI_RenderRecord record{};
        const PI_InstanceSetup setup{48000};
        const int32_t statuses[] = {
            host.initialize(bad, &setup),      host.destroy(bad),
            host.getSampleRate(bad, &value),   host.setValue(bad, kGain, 0),
            host.getValue(bad, kGain, &value), host.render(bad, &record),
            host.chunkCount(bad, &value),      host.viewRect(bad, &rect),
            host.setWindow(bad, 0),            host.setCallbacks(bad, nullptr),
        };
        for (int32_t status : statuses) EXPECT_EQ(status, PI_ErrBadInstance) << "handle " << bad;
    }
}

TEST_F(InstanceRegistry, AFullTableRefusesMoreUntilOneGoes) {
    std::vector<PI_Instance> all;
    for (int i = 0; i < CInstanceRegistry::kSlots; ++i) all.push_back(NewInstance(kMonoType, false));
    PI_Instance extra = 0;
    EXPECT_EQ(host.create(kMonoType, &extra), PI_ErrOutOfMemory);
    EXPECT_EQ(extra, 0);
    EXPECT_EQ(TestProcess::liveCount, CInstanceRegistry::kSlots);
    ASSERT_EQ(host.destroy(all[17]), PI_NoErr);
    EXPECT_EQ(host.create(kMonoType, &extra), PI_NoErr);
    EXPECT_NE(extra, all[17]);
}

namespace {

struct DestroyingHost {
    Host* host;
    PI_Instance destroyed = 0;
    int32_t status = 1;
    int32_t statusAfter = 1;
};

void DestroyFromCallback(void* context, PI_Instance instance, int32_t, int32_t) {
    auto* h = static_cast<DestroyingHost*>(context);
    h->status = h->host->destroy(instance);
    int32_t rate = 0;
    h->statusAfter = h->host->getSampleRate(instance, &rate);
    h->destroyed = instance;
}

}  // namespace

TEST_F(InstanceRegistry, AnInstanceDestroyedFromItsOwnCallbackGoesOnceTheCallbackReturns) {
    const PI_Instance instance = NewInstance();
    DestroyingHost destroying{&host};
    const PI_HostCallbacks callbacks{&destroying, &DestroyFromCallback, nullptr, nullptr};
    ASSERT_EQ(host.setCallbacks(instance, &callbacks), PI_NoErr);

    // The plug-in reports a value (as its editor would); the host destroys the
    // instance while the process is still on the stack.
    TestProcess* process = ProcessOf(instance);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->SetControlValue(kGain, 0), PI_NoErr);
    EXPECT_EQ(destroying.status, PI_NoErr);
    EXPECT_EQ(destroying.statusAfter, PI_ErrBadInstance);
    EXPECT_EQ(TestProcess::liveCount, 1) << "deleted under the running callback";

    // The next routine the host calls finishes the job.
    int32_t count = 0;
    EXPECT_EQ(host.effectTypeCount(&count), PI_NoErr);
    EXPECT_EQ(TestProcess::liveCount, 0);
}

TEST_F(InstanceRegistry, AnInstanceDestroyedFromANestedRoutineGoesWhenTheOuterRoutineEnds) {
    const PI_Instance instance = NewInstance();
    DestroyingHost destroying{&host};
    const PI_HostCallbacks callbacks{&destroying, &DestroyFromCallback, nullptr, nullptr};
    ASSERT_EQ(host.setCallbacks(instance, &callbacks), PI_NoErr);
    // Restoring a chunk reports the restored value to the host from inside the
    // set-chunk routine; the host destroys the instance there.
    std::vector<unsigned char> chunk(kChunkSize);
    ASSERT_EQ(host.getChunk(instance, kChunkId, chunk.data(), kChunkSize), PI_NoErr);
    EXPECT_EQ(host.setChunk(instance, kChunkId, chunk.data(), kChunkSize), PI_NoErr);
    EXPECT_EQ(destroying.status, PI_NoErr);
    EXPECT_EQ(TestProcess::liveCount, 0);
}

TEST_F(InstanceRegistry, RenderingWhileTheHostDestroysNeverTouchesADeletedProcess) {
    // The audio thread renders whatever instance is current while the
    // user-interface thread keeps replacing it; under AddressSanitizer a
    // render of a deleted process would stop the test.
    std::atomic<PI_Instance> current{NewInstance()};
    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::atomic<int> unexpected{0};
    std::thread audio([&] {
        float in[2][32] = {};
        float out[2][32] = {};
        const float* inputs[2] = {in[0], in[1]};
        float* outputs[2] = {out[0], out[1]};
        const PI_RenderRecord record{inputs, 2, outputs, 2, 32, 1, nullptr};
        while (!stop.load()) {
            const int32_t status = host.render(current.load(), &record);
            if (status == PI_NoErr)
                rendered.fetch_add(1);
            else if (status != PI_ErrBadInstance && status != PI_ErrNotInitialized)
                unexpected.fetch_add(1);
        }
    });
    for (int i = 0; i < 300; ++i) {
        const PI_Instance next = NewInstance();
        const PI_Instance old = current.exchange(next);
        ASSERT_EQ(host.destroy(old), PI_NoErr);
    }
    while (rendered.load() == 0) std::this_thread::yield();
    stop.store(true);
    audio.join();
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_EQ(TestProcess::liveCount, 1);
}
