#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include "compressor/Kestrom.h"
#include "core/IStateChunk.h"
#include "graphics/IGraphics.h"
#include "lv2/KestromLv2Layout.h"
#include "lv2/KestromLv2Plugin.h"

// Counts allocations while armed, to show that run() makes none.
namespace {
std::atomic<bool> countAllocations{false};
std::atomic<long> allocations{0};
}  // namespace

// The replacements pair with each other; the compiler sees free() meet new.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (countAllocations.load(std::memory_order_relaxed)) allocations.fetch_add(1);
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace kestrom::lv2 {
namespace {

constexpr double kRate = 48000.0;
using Audio = std::vector<float>;

struct UridMap {
    std::vector<std::string> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                         auto& list = static_cast<UridMap*>(h)->uris;
                         for (std::size_t i = 0; i < list.size(); ++i)
                             if (list[i] == uri) return static_cast<LV2_URID>(i + 1);
                         list.emplace_back(uri);
                         return static_cast<LV2_URID>(list.size());
                     }};
    LV2_URID operator()(const char* uri) { return map.map(this, uri); }
};

// A plug-in told a largest block of 256 frames, its control ports connected.
struct Rig {
    UridMap urids;
    int32_t maxBlock = 256;
    LV2_Options_Option options[2] = {};
    LV2_Feature mapFeature{LV2_URID__map, &urids.map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    const LV2_Feature* features[3] = {&mapFeature, &optionsFeature, nullptr};
    std::unique_ptr<KestromLv2Plugin> plugin;
    float controls[kNumParams] = {};
    float gainReduction = -1.0f, latency = -1.0f, enabled = 1.0f;

    explicit Rig(int channels) {
        options[0] = {LV2_OPTIONS_INSTANCE, 0, urids(LV2_BUF_SIZE__maxBlockLength), sizeof maxBlock,
                      urids(LV2_ATOM__Int), &maxBlock};
        plugin = KestromLv2Plugin::Create(channels, kRate, features);
        for (int i = 0; i < kNumParams; ++i) {
            controls[i] = static_cast<float>(kParamTable[i].defaultValue);
            plugin->ConnectPort(static_cast<uint32_t>(i), &controls[i]);
        }
        plugin->ConnectPort(kGainReductionPort, &gainReduction);
        plugin->ConnectPort(kLatencyPort, &latency);
        plugin->ConnectPort(EnabledPort(channels), &enabled);
    }
    void Run(const Audio* in, Audio* out, int frames) {
        for (int c = 0; c < plugin->Channels(); ++c) {
            plugin->ConnectPort(AudioInputPort(c), const_cast<float*>(in[c].data()));
            plugin->ConnectPort(AudioOutputPort(plugin->Channels(), c), out[c].data());
        }
        plugin->Run(static_cast<uint32_t>(frames));
    }
    const IPlugParam& Param(int i) { return *plugin->Plugin().Param(i); }
};

// A state store holding one property.
struct Store {
    std::vector<unsigned char> bytes;
    uint32_t key = 0, type = 0, flags = 0;
    static LV2_State_Status Put(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                                uint32_t flags) {
        auto* s = static_cast<Store*>(h);
        s->bytes.assign(static_cast<const unsigned char*>(value), static_cast<const unsigned char*>(value) + size);
        s->key = key, s->type = type, s->flags = flags;
        return LV2_STATE_SUCCESS;
    }
    static const void* Get(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
        auto* s = static_cast<Store*>(h);
        if (key != s->key) return nullptr;
        *size = s->bytes.size(), *type = s->type, *flags = s->flags;
        return s->bytes.data();
    }
    void Hold(Rig& rig, std::initializer_list<double> values) {
        IStateChunk chunk;
        for (double v : values) chunk.AppendDouble(v);
        bytes.assign(chunk.Bytes(), chunk.Bytes() + chunk.ByteCount());
        key = rig.urids(kStateUri), type = rig.urids(LV2_ATOM__Chunk);
    }
};

Audio Music(int frames, int seed) {
    Audio x(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        x[static_cast<std::size_t>(i)] = static_cast<float>(0.8 * std::sin(0.031 * i * seed) * std::sin(0.0007 * i));
    return x;
}

TEST(KestromLv2Plugin, RefusesWhatItCannotRunAndTakesTheHostsLargestBlock) {
    EXPECT_EQ(KestromLv2Plugin::Create(3, kRate, nullptr), nullptr);
    for (double rate : {0.0, -44100.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(KestromLv2Plugin::Create(2, rate, nullptr), nullptr) << rate;
    EXPECT_EQ(KestromLv2Plugin::Create(1, kRate, nullptr)->MaxBlock(), KestromLv2Plugin::kDefaultMaxBlock);

    UridMap urids;
    const int32_t small = 300, negative = -5;
    const int64_t huge = int64_t{1} << 40;
    const float asFloat = 512.0f;
    const struct {
        const void* value;
        uint32_t size;
        const char* type;
        int expected;
    } cases[] = {{&small, 4, LV2_ATOM__Int, 300},
                 {&huge, 8, LV2_ATOM__Long, KestromLv2Plugin::kMaxBlockLimit},
                 {&negative, 4, LV2_ATOM__Int, KestromLv2Plugin::kDefaultMaxBlock},
                 {&asFloat, 4, LV2_ATOM__Float, KestromLv2Plugin::kDefaultMaxBlock}};
    for (const auto& c : cases) {
        LV2_Options_Option options[2] = {
            {LV2_OPTIONS_INSTANCE, 0, urids(LV2_BUF_SIZE__maxBlockLength), c.size, urids(c.type), c.value}, {}};
        LV2_Feature map{LV2_URID__map, &urids.map}, opts{LV2_OPTIONS__options, options};
        const LV2_Feature* features[] = {&map, &opts, nullptr};
        EXPECT_EQ(KestromLv2Plugin::Create(2, kRate, features)->MaxBlock(), c.expected) << c.type;
    }
}

// Mixed block sizes (some longer than the largest block), control changes
// between blocks, the stereo plug-in in place: the output equals the object
// driven by the host bridge's sequence, bit for bit.
TEST(KestromLv2Plugin, SoundsLikeThePlugInDrivenByTheHostBridge) {
    for (int channels : {1, 2}) {
        Rig rig(channels);
        Kestrom reference;
        reference.ChangeBlockSize(rig.maxBlock);
        reference.ConnectIO(channels, channels);
        reference.ChangeSampleRate(kRate);
        reference.HandleReset();

        const Audio in[2] = {Music(6000, 3), Music(6000, 5)};
        Audio lv2[2] = {in[0], in[1]}, expected[2] = {Audio(6000), Audio(6000)};
        const struct {
            int frames, param;
            float value;
        } blocks[] = {{1, -1, 0}, {100, kIn, 5.5f}, {700, kRelaxed, 1}, {256, kOut, -3.25f}, {64, kIn, -20},
                      {1000, kDualMono, 1}, {300, kPower, 0}, {512, kPower, 1}, {3067, kNegative, 1}};
        int at = 0;
        for (const auto& b : blocks) {
            if (b.param >= 0) {
                rig.controls[b.param] = b.value;
                reference.ApplyHostControlChange(IPlugRTAS::ControlIndexOfParam(b.param), b.value);
            }
            Audio block[2];
            for (int c = 0; c < channels; ++c) block[c].assign(&lv2[c][at], &lv2[c][at] + b.frames);
            rig.Run(block, block, b.frames);
            for (int c = 0; c < channels; ++c) std::copy(block[c].begin(), block[c].end(), &lv2[c][at]);
            const float* refIn[2] = {&in[0][at], channels > 1 ? &in[1][at] : nullptr};
            float* refOut[2] = {&expected[0][at], channels > 1 ? &expected[1][at] : nullptr};
            reference.ProcessHostBlock(refIn, refOut, b.frames);
            at += b.frames;
        }
        for (int c = 0; c < channels; ++c) EXPECT_EQ(lv2[c], expected[c]) << channels << " channels";
    }
}

// The host's bypass switched off and on again while audio runs, in blocks of
// 64 frames: the processed signal fades to the dry input and back with no
// step beyond those of the two signals, and is exact on either side of each
// fade. While bypassed the compressor pauses: afterwards it sounds like one
// that was given only the blocks it processed.
TEST(KestromLv2Plugin, HostsBypassFadesWithoutAStepAndIsExactOnEitherSide) {
    constexpr int kBlock = 64, kBlocks = 100, kOffAt = 20, kOnAt = 50, kFrames = kBlock * kBlocks;
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        Rig rig(channels);
        const int fade = rig.plugin->BypassFadeFrames();
        ASSERT_EQ(fade, 480);  // 10 ms
        Kestrom reference;
        reference.ChangeBlockSize(rig.maxBlock);
        reference.ConnectIO(channels, channels);
        reference.ChangeSampleRate(kRate);
        reference.HandleReset();
        rig.controls[kIn] = 20.0f;  // far from the dry signal
        reference.ApplyHostControlChange(IPlugRTAS::ControlIndexOfParam(kIn), 20.0);

        const Audio in[2] = {Music(kFrames, 3), Music(kFrames, 5)};
        Audio out[2] = {Audio(kFrames), Audio(kFrames)}, processed[2] = {Audio(kFrames), Audio(kFrames)};
        const int pausedFrom = kOffAt + (fade + kBlock - 1) / kBlock;  // the first block wholly dry
        for (int b = 0; b < kBlocks; ++b) {
            const int at = b * kBlock;
            rig.enabled = b >= kOffAt && b < kOnAt ? 0.0f : 1.0f;
            Audio blockIn[2], blockOut[2] = {Audio(kBlock), Audio(kBlock)};
            for (int c = 0; c < channels; ++c) blockIn[c].assign(&in[c][at], &in[c][at] + kBlock);
            rig.Run(blockIn, blockOut, kBlock);
            for (int c = 0; c < channels; ++c) std::copy(blockOut[c].begin(), blockOut[c].end(), &out[c][at]);
            if (b >= pausedFrom && b < kOnAt) continue;
            const float* refIn[2] = {&in[0][at], channels > 1 ? &in[1][at] : nullptr};
            float* refOut[2] = {&processed[0][at], channels > 1 ? &processed[1][at] : nullptr};
            reference.ProcessHostBlock(refIn, refOut, kBlock);
        }

        const int offEnds = kOffAt * kBlock + fade - 1, onEnds = kOnAt * kBlock + fade - 1;
        for (int c = 0; c < channels; ++c) {
            const Audio& x = in[c];
            const Audio& p = processed[c];
            const Audio& y = out[c];
            float signalStep = 0.0f, outputStep = 0.0f, largestGap = 0.0f;
            for (int i = 1; i < kFrames; ++i) {
                const bool processedHere = i < pausedFrom * kBlock || i >= kOnAt * kBlock;
                const bool processedBefore = i - 1 < pausedFrom * kBlock || i - 1 >= kOnAt * kBlock;
                signalStep = std::max(signalStep, std::fabs(x[i] - x[i - 1]));
                if (processedHere && processedBefore) signalStep = std::max(signalStep, std::fabs(p[i] - p[i - 1]));
                if (processedHere) largestGap = std::max(largestGap, std::fabs(p[i] - x[i]));
                outputStep = std::max(outputStep, std::fabs(y[i] - y[i - 1]));
            }
            // A hard switch would step by up to the gap between the two; the
            // fade adds at most gap / 480 to a step.
            ASSERT_GT(largestGap, 0.3f);
            EXPECT_LE(outputStep, signalStep + largestGap / 240.0f);
            EXPECT_TRUE(std::equal(&y[0], &y[kOffAt * kBlock], &p[0]));
            EXPECT_TRUE(std::equal(&y[offEnds], &y[kOnAt * kBlock], &x[offEnds]));
            EXPECT_TRUE(std::equal(&y[onEnds], &y[kFrames - 1] + 1, &p[onEnds]));
            EXPECT_NE(y[offEnds - 1], x[offEnds - 1]);  // the fades take their whole length
            EXPECT_NE(y[onEnds - 1], p[onEnds - 1]);
        }
    }
}

TEST(KestromLv2Plugin, AppliesAControlPortOnlyWhenItHoldsANewValue) {
    Rig rig(2);
    Audio audio[2] = {Music(64, 1), Music(64, 2)};
    rig.controls[kIn] = 0.3f;  // a host's single-precision value, taken as it is
    rig.controls[kOut] = std::nanf("");  // no value: the parameter keeps its own
    rig.controls[kRelaxed] = -7.0f;  // a toggle: above 0 is on, anything else off
    rig.controls[kDeep] = 0.3f;
    rig.Run(audio, audio, 64);
    EXPECT_EQ(rig.Param(kIn).Value(), static_cast<double>(0.3f));
    EXPECT_EQ(rig.Param(kOut).Value(), 0.0);
    EXPECT_EQ(rig.Param(kRelaxed).Value(), 0.0);
    EXPECT_EQ(rig.Param(kDeep).Value(), 1.0);
    rig.controls[kIn] = std::numeric_limits<float>::infinity();
    rig.Run(audio, audio, 64);
    EXPECT_EQ(rig.Param(kIn).Value(), 20.0);
    for (float y : audio[0]) ASSERT_TRUE(std::isfinite(y));

    // A restored exact value stays exact while its port holds its float form.
    Store store;
    store.Hold(rig, {0.3, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0});
    ASSERT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_SUCCESS);
    rig.controls[kIn] = 0.3f, rig.controls[kDeep] = 0.0f;
    rig.Run(audio, audio, 64);
    EXPECT_EQ(rig.Param(kIn).Value(), 0.3);
}

TEST(KestromLv2Plugin, ReportsTheNeedlesGainReductionAndNoLatency) {
    Rig rig(1);
    Audio loud[1] = {Music(4800, 7)}, out[1] = {Audio(4800)};
    rig.controls[kIn] = 20.0f;
    rig.Run(loud, out, 4800);
    const auto* editor = dynamic_cast<const IGraphics*>(rig.plugin->Plugin().Editor());
    const float needle = static_cast<float>(editor->PeekDisplayValue(kMeterIndex).value * kMeterFullScaleDb);
    EXPECT_EQ(rig.gainReduction, needle);
    EXPECT_GT(rig.gainReduction, 3.0f);
    EXPECT_EQ(rig.latency, 0.0f);

    rig.controls[kPower] = 0.0f;  // the needle, and so the port, stays where it was
    rig.Run(loud, out, 4800);
    EXPECT_EQ(rig.gainReduction, needle);
}

// While an audio port is unconnected the outputs are silent; a block of no
// frames leaves the audio state alone.
TEST(KestromLv2Plugin, ProcessesNothingWithoutAllAudioOrFrames) {
    Rig rig(2), reference(2);
    Audio in[2] = {Music(512, 1), Music(512, 2)}, out[2] = {Audio(512, 1.0f), Audio(512, 1.0f)};
    rig.plugin->ConnectPort(AudioOutputPort(2, 0), out[0].data());
    rig.plugin->ConnectPort(AudioInputPort(0), in[0].data());
    rig.plugin->Run(512);
    EXPECT_EQ(out[0], Audio(512, 0.0f));

    Audio expected[2] = {Audio(512), Audio(512)};
    rig.Run(in, out, 0);
    rig.Run(in, out, 512);
    reference.Run(in, expected, 512);
    EXPECT_EQ(out[0], expected[0]);
    EXPECT_EQ(out[1], expected[1]);
}

TEST(KestromLv2Plugin, RunsWithoutAllocating) {
    Rig rig(2);
    Audio in[2] = {Music(1024, 1), Music(1024, 2)}, out[2] = {Audio(1024), Audio(1024)};
    rig.Run(in, out, 16);
    allocations = 0;
    countAllocations = true;
    for (int i = 0; i < kNumParams; ++i) {
        rig.controls[i] = static_cast<float>(kParamTable[i].maximum);
        rig.enabled = i % 3 == 0 ? 1.0f : 0.0f;  // through both fades and the bypass
        rig.plugin->Run(1024);
    }
    countAllocations = false;
    EXPECT_EQ(allocations.load(), 0);
}

TEST(KestromLv2Plugin, KeepsItsStateAsTheParameterStateBytes) {
    Rig rig(2);
    Store store;
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    EXPECT_EQ(store.key, rig.urids(kStateUri));
    EXPECT_EQ(store.type, rig.urids(LV2_ATOM__Chunk));
    EXPECT_EQ(store.flags, uint32_t{LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE});
    std::vector<unsigned char> defaults(7 * 8, 0);  // seven little-endian doubles, Power (1.0) last
    defaults[6 * 8 + 6] = 0xF0, defaults[6 * 8 + 7] = 0x3F;
    EXPECT_EQ(store.bytes, defaults);

    // Values no float carries come back as they were, and save as the plug-in saves them.
    store.Hold(rig, {3.3, -19.99, 1.0, 0.0, 1.0, 1.0, 0.0});
    const std::vector<unsigned char> exact = store.bytes;
    ASSERT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_SUCCESS);
    IStateChunk saved;
    rig.plugin->Plugin().SaveState(saved);
    EXPECT_EQ(std::vector<unsigned char>(saved.Bytes(), saved.Bytes() + saved.ByteCount()), exact);
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    EXPECT_EQ(store.bytes, exact);

    // Refused, and nothing changes: too short, not whole values, another type or key.
    store.Hold(rig, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_ERR_UNKNOWN);
    store.Hold(rig, {0, 0, 0, 0, 0, 0, 0});
    store.bytes.push_back(0);
    EXPECT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_ERR_UNKNOWN);
    store.bytes.pop_back();
    store.type = rig.urids(LV2_ATOM__String);
    EXPECT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_ERR_BAD_TYPE);
    store.type = rig.urids(LV2_ATOM__Chunk), store.key = rig.urids("urn:other");
    EXPECT_EQ(rig.plugin->Restore(Store::Get, &store), LV2_STATE_ERR_NO_PROPERTY);
    EXPECT_EQ(rig.Param(kIn).Value(), 3.3);
    EXPECT_EQ(rig.Param(kDeep).Value(), 1.0);

    const auto unmapped = KestromLv2Plugin::Create(1, kRate, nullptr);
    EXPECT_EQ(unmapped->Save(Store::Put, &store), LV2_STATE_ERR_NO_FEATURE);
    EXPECT_EQ(unmapped->Restore(Store::Get, &store), LV2_STATE_ERR_NO_FEATURE);
}

// Hosts set ports and save with no run() in between, and some restore only
// the plug-in's state, leaving its ports as they were: what is saved is what
// the host set last, through the ports or the state.
TEST(KestromLv2Plugin, SavesWhatTheHostSetLastThroughPortsOrState) {
    Rig rig(2);
    Audio audio[2] = {Music(64, 1), Music(64, 2)};
    Store store, expected;
    rig.controls[kIn] = 12.0f, rig.controls[kDeep] = 1.0f;
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    expected.Hold(rig, {12.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0});
    EXPECT_EQ(store.bytes, expected.bytes);

    // The ports still hold In 12 and Deep on: they overwrite nothing until they change.
    expected.Hold(rig, {3.3, -19.99, 0.0, 1.0, 1.0, 1.0, 0.0});
    ASSERT_EQ(rig.plugin->Restore(Store::Get, &expected), LV2_STATE_SUCCESS);
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    EXPECT_EQ(store.bytes, expected.bytes);
    rig.Run(audio, audio, 64);
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    EXPECT_EQ(store.bytes, expected.bytes);
    // The host sends the restored values back as floats: still every digit.
    rig.controls[kIn] = 3.3f, rig.controls[kOut] = -19.99f, rig.controls[kDeep] = 0.0f;
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    EXPECT_EQ(store.bytes, expected.bytes);

    rig.controls[kIn] = -4.0f;
    ASSERT_EQ(rig.plugin->Save(Store::Put, &store), LV2_STATE_SUCCESS);
    expected.Hold(rig, {-4.0, -19.99, 0.0, 1.0, 1.0, 1.0, 0.0});
    EXPECT_EQ(store.bytes, expected.bytes);
}

}  // namespace
}  // namespace kestrom::lv2
