#include "tools/compare/Lv2Compressor.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kestrom::compare {

namespace {
constexpr std::uint32_t kAtomBufferBytes = 8192;
}

struct Lv2Compressor::Instance {
    LilvInstance* instance = nullptr;
    std::vector<std::vector<float>> audioIn;   // main inputs first, then any side chain (silent)
    std::vector<std::vector<float>> audioOut;
    std::vector<float> controls;               // one value per port index
    std::vector<std::string> symbols;          // per port index
    std::vector<std::vector<std::uint64_t>> atomIn;
    std::vector<std::vector<std::uint64_t>> atomOut;
    std::size_t mainInputs = 0;
    bool active = false;

    ~Instance() {
        if (active) {
            lilv_instance_deactivate(instance);
        }
        if (instance != nullptr) {
            lilv_instance_free(instance);
        }
    }
};

Lv2Compressor::Lv2Compressor(Lv2Session& session, const CompressorSetup& setup) : session_(session), setup_(setup) {}

Lv2Compressor::~Lv2Compressor() = default;

bool Lv2Compressor::Open(std::string& error) {
    const LilvPlugin* plugin = session_.Find(setup_.uri);
    if (plugin == nullptr) {
        error = "no LV2 plug-in " + setup_.uri + " on LV2_PATH";
        return false;
    }
    const std::vector<std::string> missing = session_.MissingFeatures(plugin);
    if (!missing.empty()) {
        error = setup_.uri + " needs the feature " + missing.front();
        return false;
    }
    LilvWorld* world = session_.World();
    LilvNode* audioClass = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
    LilvNode* controlClass = lilv_new_uri(world, LILV_URI_CONTROL_PORT);
    LilvNode* atomClass = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* inputClass = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    LilvNode* outputClass = lilv_new_uri(world, LILV_URI_OUTPUT_PORT);
    LilvNode* optional = lilv_new_uri(world, LV2_CORE__connectionOptional);

    const std::uint32_t portCount = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(portCount), maximum(portCount), defaults(portCount);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());

    std::size_t outputs = 0;
    for (std::uint32_t p = 0; p < portCount; ++p) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
        outputs += lilv_port_is_a(plugin, port, audioClass) && lilv_port_is_a(plugin, port, outputClass) ? 1 : 0;
    }
    const int count = outputs == 1 ? 2 : 1;
    const int block = session_.BlockFrames();
    bool ok = outputs == 1 || outputs == 2;
    if (!ok) {
        error = setup_.uri + " has " + std::to_string(outputs) + " audio outputs";
    }
    for (int n = 0; ok && n < count; ++n) {
        auto made = std::make_unique<Instance>();
        Instance& in = *made;
        in.instance = lilv_plugin_instantiate(plugin, session_.SampleRate(), session_.Features());
        if (in.instance == nullptr) {
            error = setup_.uri + " did not instantiate";
            ok = false;
            break;
        }
        std::vector<bool> found(setup_.controls.size(), false);
        in.controls.assign(portCount, 0.0f);
        in.symbols.assign(portCount, "");
        for (std::uint32_t p = 0; p < portCount && ok; ++p) {
            const LilvPort* port = lilv_plugin_get_port_by_index(plugin, p);
            in.symbols[p] = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            const bool input = lilv_port_is_a(plugin, port, inputClass);
            if (lilv_port_is_a(plugin, port, audioClass)) {
                // A moved vector keeps its buffer, so the pointers connected stay valid.
                auto& list = input ? in.audioIn : in.audioOut;
                list.emplace_back(static_cast<std::size_t>(block), 0.0f);
                lilv_instance_connect_port(in.instance, p, list.back().data());
            } else if (lilv_port_is_a(plugin, port, controlClass)) {
                float value = std::isnan(defaults[p]) ? (std::isnan(minimum[p]) ? 0.0f : minimum[p]) : defaults[p];
                if (input) {
                    for (std::size_t k = 0; k < setup_.controls.size(); ++k) {
                        if (setup_.controls[k].first == in.symbols[p]) {
                            value = setup_.controls[k].second;
                            found[k] = true;
                        }
                    }
                }
                in.controls[p] = value;
                lilv_instance_connect_port(in.instance, p, &in.controls[p]);
            } else if (lilv_port_is_a(plugin, port, atomClass)) {
                auto& list = input ? in.atomIn : in.atomOut;
                list.emplace_back(kAtomBufferBytes / sizeof(std::uint64_t), 0);
                lilv_instance_connect_port(in.instance, p, list.back().data());
            } else if (!lilv_port_has_property(plugin, port, optional)) {
                error = setup_.uri + ": port " + in.symbols[p] + " is of a kind this host does not connect";
                ok = false;
            }
        }
        // A setting whose port is missing would leave the plug-in at its
        // default and the comparison quietly measuring something else.
        for (std::size_t k = 0; ok && k < found.size(); ++k) {
            if (!found[k]) {
                error = setup_.uri + " has no control input " + setup_.controls[k].first;
                ok = false;
            }
        }
        in.mainInputs = std::min(in.audioIn.size(), in.audioOut.size());
        // Empty event sequences for the atom inputs.
        const LV2_URID sequence = session_.Map(LV2_ATOM__Sequence);
        for (auto& buffer : in.atomIn) {
            auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(buffer.data());
            seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
            seq->atom.type = sequence;
            seq->body.unit = 0;
            seq->body.pad = 0;
        }
        instances_.push_back(std::move(made));
    }
    lilv_node_free(audioClass);
    lilv_node_free(controlClass);
    lilv_node_free(atomClass);
    lilv_node_free(inputClass);
    lilv_node_free(outputClass);
    lilv_node_free(optional);
    if (!ok) {
        instances_.clear();
        return false;
    }
    for (auto& in : instances_) {
        lilv_instance_activate(in->instance);
        in->active = true;
    }
    return true;
}

void Lv2Compressor::ResetAtomOutputs(Instance& in) {
    const LV2_URID chunk = session_.Map(LV2_ATOM__Chunk);
    for (auto& buffer : in.atomOut) {
        auto* atom = reinterpret_cast<LV2_Atom*>(buffer.data());
        atom->size = kAtomBufferBytes - sizeof(LV2_Atom);
        atom->type = chunk;
    }
}

void Lv2Compressor::Process(const float* inL, const float* inR, float* outL, float* outR, std::int64_t frames) {
    const std::int64_t block = session_.BlockFrames();
    const float* ins[2] = {inL, inR};
    float* outs[2] = {outL, outR};
    for (std::int64_t start = 0; start < frames; start += block) {
        const auto n = static_cast<std::size_t>(std::min(block, frames - start));
        if (instances_.size() == 2) {
            for (std::size_t c = 0; c < 2; ++c) {
                Instance& in = *instances_[c];
                std::memcpy(in.audioIn[0].data(), ins[c] + start, n * sizeof(float));
                ResetAtomOutputs(in);
                lilv_instance_run(in.instance, static_cast<std::uint32_t>(n));
                std::memcpy(outs[c] + start, in.audioOut[0].data(), n * sizeof(float));
            }
        } else {
            Instance& in = *instances_[0];
            for (std::size_t c = 0; c < 2 && c < in.mainInputs; ++c) {
                std::memcpy(in.audioIn[c].data(), ins[c] + start, n * sizeof(float));
            }
            ResetAtomOutputs(in);
            lilv_instance_run(in.instance, static_cast<std::uint32_t>(n));
            for (std::size_t c = 0; c < 2; ++c) {
                std::memcpy(outs[c] + start, in.audioOut[c].data(), n * sizeof(float));
            }
        }
    }
}

float Lv2Compressor::ControlOutput(const std::string& symbol) const {
    if (instances_.empty()) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    const Instance& in = *instances_[0];
    for (std::size_t p = 0; p < in.symbols.size(); ++p) {
        if (in.symbols[p] == symbol) {
            return in.controls[p];
        }
    }
    return std::numeric_limits<float>::quiet_NaN();
}

}  // namespace kestrom::compare
