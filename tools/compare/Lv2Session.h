#pragma once

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <deque>
#include <vector>

namespace kestrom::compare {

// What a plain LV2 host offers every plug-in it loads: the plug-ins found on
// LV2_PATH (lilv's world), URIDs, and the options a host states about its
// blocks and sample rate (bufsz:minBlockLength, maxBlockLength and
// nominalBlockLength, param:sampleRate), with bufsz:boundedBlockLength.
class Lv2Session {
public:
    Lv2Session(double sampleRate, int blockFrames);
    ~Lv2Session();
    Lv2Session(const Lv2Session&) = delete;
    Lv2Session& operator=(const Lv2Session&) = delete;

    // The plug-in with this URI, or null.
    const LilvPlugin* Find(const std::string& uri) const;
    LilvWorld* World() const { return world_; }
    // NULL-terminated, for lilv_plugin_instantiate.
    const LV2_Feature* const* Features() const { return featureList_.data(); }
    // The features of `plugin` this session does not offer (empty when it loads).
    std::vector<std::string> MissingFeatures(const LilvPlugin* plugin) const;

    LV2_URID Map(const char* uri);
    double SampleRate() const { return sampleRate_; }
    int BlockFrames() const { return blockFrames_; }

private:
    static LV2_URID MapCallback(LV2_URID_Map_Handle handle, const char* uri);
    static const char* UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid);

    double sampleRate_;
    int blockFrames_;
    float sampleRateValue_;
    std::int32_t minBlock_ = 1;
    std::int32_t maxBlock_;
    std::int32_t nominalBlock_;

    LilvWorld* world_ = nullptr;
    std::mutex uridLock_;  // plug-ins may map from their own threads
    std::unordered_map<std::string, LV2_URID> uris_;
    std::deque<std::string> names_;  // URID - 1 -> URI; a deque keeps the texts where unmap handed them out

    LV2_URID_Map map_{};
    LV2_URID_Unmap unmap_{};
    std::vector<LV2_Options_Option> options_;
    LV2_Feature mapFeature_{};
    LV2_Feature unmapFeature_{};
    LV2_Feature optionsFeature_{};
    LV2_Feature boundedFeature_{};
    std::vector<const LV2_Feature*> featureList_;
};

}  // namespace kestrom::compare
