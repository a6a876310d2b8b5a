#include "tools/compare/Lv2Session.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

namespace kestrom::compare {

Lv2Session::Lv2Session(double sampleRate, int blockFrames)
    : sampleRate_(sampleRate),
      blockFrames_(blockFrames),
      sampleRateValue_(static_cast<float>(sampleRate)),
      maxBlock_(blockFrames),
      nominalBlock_(blockFrames) {
    world_ = lilv_world_new();
    lilv_world_load_all(world_);

    map_.handle = this;
    map_.map = &Lv2Session::MapCallback;
    unmap_.handle = this;
    unmap_.unmap = &Lv2Session::UnmapCallback;

    const LV2_URID intType = Map(LV2_ATOM__Int);
    auto option = [&](const char* key, LV2_URID type, const void* value, std::uint32_t size) {
        options_.push_back({LV2_OPTIONS_INSTANCE, 0, Map(key), size, type, value});
    };
    option(LV2_BUF_SIZE__minBlockLength, intType, &minBlock_, sizeof minBlock_);
    option(LV2_BUF_SIZE__maxBlockLength, intType, &maxBlock_, sizeof maxBlock_);
    option(LV2_BUF_SIZE__nominalBlockLength, intType, &nominalBlock_, sizeof nominalBlock_);
    option(LV2_PARAMETERS__sampleRate, Map(LV2_ATOM__Float), &sampleRateValue_, sizeof sampleRateValue_);
    options_.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});

    mapFeature_ = {LV2_URID__map, &map_};
    unmapFeature_ = {LV2_URID__unmap, &unmap_};
    optionsFeature_ = {LV2_OPTIONS__options, options_.data()};
    boundedFeature_ = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    featureList_ = {&mapFeature_, &unmapFeature_, &optionsFeature_, &boundedFeature_, nullptr};
}

Lv2Session::~Lv2Session() { lilv_world_free(world_); }

const LilvPlugin* Lv2Session::Find(const std::string& uri) const {
    LilvNode* node = lilv_new_uri(world_, uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
    lilv_node_free(node);
    return plugin;
}

std::vector<std::string> Lv2Session::MissingFeatures(const LilvPlugin* plugin) const {
    std::vector<std::string> missing;
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    LILV_FOREACH (nodes, i, required) {
        const std::string uri = lilv_node_as_uri(lilv_nodes_get(required, i));
        bool offered = false;
        for (const LV2_Feature* feature : featureList_) {
            offered = offered || (feature != nullptr && uri == feature->URI);
        }
        if (!offered) {
            missing.push_back(uri);
        }
    }
    lilv_nodes_free(required);
    return missing;
}

LV2_URID Lv2Session::Map(const char* uri) {
    std::lock_guard<std::mutex> hold(uridLock_);
    auto found = uris_.find(uri);
    if (found != uris_.end()) {
        return found->second;
    }
    names_.emplace_back(uri);
    const auto urid = static_cast<LV2_URID>(names_.size());
    uris_.emplace(uri, urid);
    return urid;
}

LV2_URID Lv2Session::MapCallback(LV2_URID_Map_Handle handle, const char* uri) {
    return uri == nullptr ? 0 : static_cast<Lv2Session*>(handle)->Map(uri);
}

const char* Lv2Session::UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* self = static_cast<Lv2Session*>(handle);
    std::lock_guard<std::mutex> hold(self->uridLock_);
    return urid >= 1 && urid <= self->names_.size() ? self->names_[urid - 1].c_str() : nullptr;
}

}  // namespace kestrom::compare
