// The bundle as the build assembled it, read by lilv (an LV2 host library we
// did not write): every port says what the parameter table says, and the
// binary hands hosts the two plug-ins and nothing else.
#include <gtest/gtest.h>
#include <lilv/lilv.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/port-groups/port-groups.h>
#include <lv2/port-props/port-props.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>

#include "compressor/KestromVersion.h"
#include "lv2/KestromLv2Layout.h"

namespace kestrom::lv2 {
namespace {

// Port symbols are what hosts store in sessions: they must never change.
const char* const kSymbols[] = {"in", "out", "deep", "relaxed", "dual_mono", "negative", "power"};

constexpr const char* kDoapLicense = "http://usefulinc.com/ns/doap#license";
constexpr const char* kRdfsComment = "http://www.w3.org/2000/01/rdf-schema#comment";
constexpr const char* kRdfType = "http://www.w3.org/1999/02/22-rdf-syntax-ns#type";

// The file behind a file URI node.
std::string PathOf(const LilvNode* uri) {
    char* path = lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr);
    std::string s = path ? path : "";
    lilv_free(path);
    return s;
}

class Lv2Bundle : public ::testing::Test {
protected:
    void SetUp() override {
        world = lilv_world_new();
        bundle = lilv_new_file_uri(world, nullptr, KESTROM_LV2_BUNDLE_DIR "/");
        lilv_world_load_bundle(world, bundle);
    }
    void TearDown() override {
        for (LilvNode* n : nodes) lilv_node_free(n);
        lilv_node_free(bundle);
        lilv_world_free(world);
    }
    LilvNode* Uri(const char* uri) { return nodes.emplace_back(lilv_new_uri(world, uri)); }
    const LilvPlugin* Plugin(const PluginVariant& v) {
        return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), Uri(v.uri));
    }
    const LilvNode* Get(const LilvPlugin* p, const LilvPort* port, const char* predicate) {
        LilvNodes* values = lilv_port_get_value(p, port, Uri(predicate));
        const LilvNode* first = values ? lilv_nodes_get_first(values) : nullptr;
        if (first) nodes.push_back(lilv_node_duplicate(first));
        lilv_nodes_free(values);
        return first ? nodes.back() : nullptr;
    }
    bool Is(const LilvPlugin* p, const LilvPort* port, const char* cls) { return lilv_port_is_a(p, port, Uri(cls)); }
    const LilvNode* Get(const LilvPlugin* p, const char* predicate) {
        LilvNodes* values = lilv_plugin_get_value(p, Uri(predicate));
        const LilvNode* first = values ? lilv_nodes_get_first(values) : nullptr;
        if (first) nodes.push_back(lilv_node_duplicate(first));
        lilv_nodes_free(values);
        return first ? nodes.back() : nullptr;
    }
    bool HasType(const LilvNode* subject, const char* cls) {
        return subject != nullptr && lilv_world_ask(world, subject, Uri(kRdfType), Uri(cls));
    }

    // An instance made by lilv from the bundle's binary, its control ports
    // connected to `controls` (set to their defaults), urid:map given.
    LilvInstance* Instantiate(const PluginVariant& v, std::vector<float>& controls) {
        const LilvPlugin* p = Plugin(v);
        if (p == nullptr) return nullptr;
        LilvInstance* instance = lilv_plugin_instantiate(p, 48000.0, features);
        if (instance == nullptr) return nullptr;
        controls.assign(PortCount(v.channels), 0.0f);
        lilv_plugin_get_port_ranges_float(p, nullptr, nullptr, controls.data());
        for (uint32_t port = 0; port < PortCount(v.channels); ++port)
            if (Is(p, lilv_plugin_get_port_by_index(p, port), LV2_CORE__ControlPort))
                lilv_instance_connect_port(instance, port, &controls[port]);
        return instance;
    }

    std::vector<std::string> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                         auto& list = static_cast<Lv2Bundle*>(h)->uris;
                         for (std::size_t i = 0; i < list.size(); ++i)
                             if (list[i] == uri) return static_cast<LV2_URID>(i + 1);
                         list.emplace_back(uri);
                         return static_cast<LV2_URID>(list.size());
                     }};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};

    LilvWorld* world = nullptr;
    LilvNode* bundle = nullptr;
    std::vector<LilvNode*> nodes;
};

TEST_F(Lv2Bundle, DescribesEveryPortFromTheParameterTable) {
    for (const PluginVariant& v : kVariants) {
        SCOPED_TRACE(v.uri);
        const LilvPlugin* p = Plugin(v);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(lilv_plugin_get_num_ports(p), PortCount(v.channels));
        EXPECT_TRUE(lilv_plugin_has_extension_data(p, Uri(LV2_STATE__interface)));

        for (int i = 0; i < kNumParams; ++i) {
            const ParamDef& def = kParamTable[i];
            const LilvPort* port = lilv_plugin_get_port_by_index(p, static_cast<uint32_t>(i));
            EXPECT_TRUE(Is(p, port, LV2_CORE__InputPort) && Is(p, port, LV2_CORE__ControlPort)) << def.name;
            EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(p, port)), kSymbols[i]);
            LilvNode* portName = lilv_port_get_name(p, port);
            EXPECT_STREQ(lilv_node_as_string(portName), def.name);
            lilv_node_free(portName);
            LilvNode *deflt = nullptr, *min = nullptr, *max = nullptr;
            lilv_port_get_range(p, port, &deflt, &min, &max);
            EXPECT_EQ(lilv_node_as_float(deflt), static_cast<float>(def.defaultValue)) << def.name;
            EXPECT_EQ(lilv_node_as_float(min), static_cast<float>(def.minimum)) << def.name;
            EXPECT_EQ(lilv_node_as_float(max), static_cast<float>(def.maximum)) << def.name;
            lilv_node_free(deflt), lilv_node_free(min), lilv_node_free(max);
            EXPECT_EQ(lilv_port_has_property(p, port, Uri(LV2_CORE__toggled)), def.kind == IPlugParam::Switch);
            const LilvNode* unit = Get(p, port, LV2_UNITS__unit);
            EXPECT_EQ(unit != nullptr && lilv_node_equals(unit, Uri(LV2_UNITS__db)), std::strcmp(def.unit, "dB") == 0)
                << def.name;
        }
        // The host's bypass is the enabled port, not Power (which is no bypass of the dry signal).
        const LilvPort* enabled = lilv_plugin_get_port_by_index(p, EnabledPort(v.channels));
        EXPECT_EQ(lilv_plugin_get_port_by_designation(p, Uri(LV2_CORE__InputPort), Uri(LV2_CORE__enabled)), enabled);
        EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(p, enabled)), "enabled");
        EXPECT_TRUE(Is(p, enabled, LV2_CORE__ControlPort) && lilv_port_has_property(p, enabled, Uri(LV2_CORE__toggled)));
        EXPECT_EQ(lilv_node_as_float(Get(p, enabled, LV2_CORE__default)), 1.0f);
        EXPECT_EQ(Get(p, lilv_plugin_get_port_by_index(p, kPower), LV2_CORE__designation), nullptr);

        const LilvPort* reduction = lilv_plugin_get_port_by_index(p, kGainReductionPort);
        EXPECT_TRUE(Is(p, reduction, LV2_CORE__OutputPort) && Is(p, reduction, LV2_CORE__ControlPort));
        EXPECT_EQ(lilv_node_as_float(Get(p, reduction, LV2_CORE__maximum)), static_cast<float>(kMeterFullScaleDb));
        EXPECT_TRUE(lilv_node_equals(Get(p, reduction, LV2_UNITS__unit), Uri(LV2_UNITS__db)));
        EXPECT_TRUE(lilv_plugin_has_latency(p));
        EXPECT_EQ(lilv_plugin_get_latency_port_index(p), kLatencyPort);
    }
}

// What hosts show and packagers check: a licence, a maintainer, a release
// version (hosts may hide a plug-in whose minor version is odd or 0 as a
// development build), a comment on every port, the gains' 0.1 dB steps, and
// the stereo plug-in's audio in a stereo input and a stereo output group,
// left and right.
TEST_F(Lv2Bundle, CarriesTheMetadataHostsShowAndPackagersCheck) {
    for (const PluginVariant& v : kVariants) {
        SCOPED_TRACE(v.uri);
        const LilvPlugin* p = Plugin(v);
        ASSERT_NE(p, nullptr);
        const LilvNode* license = Get(p, kDoapLicense);
        ASSERT_NE(license, nullptr);
        EXPECT_STREQ(lilv_node_as_uri(license), "http://opensource.org/licenses/MIT");
        LilvNode* maintainer = lilv_plugin_get_author_name(p);
        EXPECT_STREQ(maintainer ? lilv_node_as_string(maintainer) : "", kMakerName);
        lilv_node_free(maintainer);
        const LilvNode* minor = Get(p, LV2_CORE__minorVersion);
        const LilvNode* micro = Get(p, LV2_CORE__microVersion);
        ASSERT_TRUE(minor && micro);
        EXPECT_EQ(lilv_node_as_int(minor), KestromVersion::kMinor);
        EXPECT_EQ(lilv_node_as_int(micro), KestromVersion::kMicro);
        EXPECT_TRUE(lilv_node_as_int(minor) > 0 && lilv_node_as_int(minor) % 2 == 0) << "not a release";

        for (uint32_t i = 0; i < lilv_plugin_get_num_ports(p); ++i) {
            const LilvPort* port = lilv_plugin_get_port_by_index(p, i);
            const LilvNode* comment = Get(p, port, kRdfsComment);
            EXPECT_TRUE(comment && *lilv_node_as_string(comment)) << "port " << i << " has no comment";
        }
        for (int i = 0; i < kNumParams; ++i) {
            const LilvNode* steps = Get(p, lilv_plugin_get_port_by_index(p, static_cast<uint32_t>(i)),
                                        LV2_PORT_PROPS__rangeSteps);
            if (kParamTable[i].kind == IPlugParam::Continuous)
                EXPECT_EQ(steps ? lilv_node_as_int(steps) : 0, 401) << kParamTable[i].name;
            else
                EXPECT_EQ(steps, nullptr) << kParamTable[i].name;
        }

        const LilvNode* mainInput = Get(p, LV2_PORT_GROUPS__mainInput);
        const LilvNode* mainOutput = Get(p, LV2_PORT_GROUPS__mainOutput);
        if (v.channels == 1) {
            EXPECT_TRUE(mainInput == nullptr && mainOutput == nullptr);
            continue;
        }
        ASSERT_TRUE(mainInput && mainOutput);
        EXPECT_TRUE(HasType(mainInput, LV2_PORT_GROUPS__StereoGroup) &&
                    HasType(mainInput, LV2_PORT_GROUPS__InputGroup));
        EXPECT_TRUE(HasType(mainOutput, LV2_PORT_GROUPS__StereoGroup) &&
                    HasType(mainOutput, LV2_PORT_GROUPS__OutputGroup));
        const char* const channels[] = {LV2_PORT_GROUPS__left, LV2_PORT_GROUPS__right};
        for (int c = 0; c < 2; ++c) {
            for (const auto& [index, group] : {std::pair{AudioInputPort(c), mainInput},
                                               std::pair{AudioOutputPort(2, c), mainOutput}}) {
                const LilvPort* port = lilv_plugin_get_port_by_index(p, index);
                const LilvNode* in = Get(p, port, LV2_PORT_GROUPS__group);
                const LilvNode* designation = Get(p, port, LV2_CORE__designation);
                EXPECT_TRUE(in && lilv_node_equals(in, group)) << "port " << index;
                EXPECT_TRUE(designation && lilv_node_equals(designation, Uri(channels[c]))) << "port " << index;
            }
        }
    }
}

// The editor is a binary of its own: hosts load the plug-ins' binary into
// their audio process without the editor's window system, pictures and
// fonts (lv2_host_checks.sh "binaries" reads what each binary needs).
TEST_F(Lv2Bundle, EditorLivesInABinaryOfItsOwnThatExportsOnlyItsDescriptor) {
    const LilvPlugin* p = Plugin(kVariants[1]);
    ASSERT_NE(p, nullptr);
    LilvUIs* uis = lilv_plugin_get_uis(p);
    const LilvUI* ui = lilv_uis_get_by_uri(uis, Uri(kUiUri));
    ASSERT_NE(ui, nullptr);
    const std::string uiPath = PathOf(lilv_ui_get_binary_uri(ui));
    const std::string pluginPath = PathOf(lilv_plugin_get_library_uri(p));
    lilv_uis_free(uis);
    EXPECT_NE(uiPath, pluginPath);

    void* library = dlopen(uiPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto descriptor = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor(0)->URI, kUiUri);
    EXPECT_EQ(descriptor(1), nullptr);
    EXPECT_EQ(dlsym(library, "lv2_descriptor"), nullptr);
    dlclose(library);
}

TEST_F(Lv2Bundle, BinaryExportsOnlyTheDescriptorsOfBothPlugIns) {
    const LilvPlugin* p = Plugin(kVariants[0]);
    ASSERT_NE(p, nullptr);
    char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_library_uri(p)), nullptr);
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    lilv_free(path);
    ASSERT_NE(library, nullptr) << dlerror();
    auto descriptor = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    ASSERT_NE(descriptor, nullptr);
    for (int i = 0; i < kVariantCount; ++i) EXPECT_STREQ(descriptor(static_cast<uint32_t>(i))->URI, kVariants[i].uri);
    EXPECT_EQ(descriptor(static_cast<uint32_t>(kVariantCount)), nullptr);
    EXPECT_EQ(dlsym(library, "_ZN7KestromC1Ev"), nullptr);  // Kestrom::Kestrom() stays inside
    EXPECT_EQ(dlsym(library, "lv2ui_descriptor"), nullptr);   // the editor is elsewhere
    const LV2_Descriptor* stereo = descriptor(1);
    EXPECT_NE(stereo->extension_data(LV2_STATE__interface), nullptr);
    EXPECT_EQ(stereo->extension_data("urn:nothing"), nullptr);
    EXPECT_EQ(stereo->instantiate(stereo, 0.0, KESTROM_LV2_BUNDLE_DIR "/", nullptr), nullptr);

    // Through the callbacks, without any feature: one block, the ports read.
    LV2_Handle instance = stereo->instantiate(stereo, 44100.0, KESTROM_LV2_BUNDLE_DIR "/", nullptr);
    ASSERT_NE(instance, nullptr);
    std::vector<float> controls(PortCount(2), 0.0f), in(64, 0.5f), out(2 * 64, 9.0f);
    for (uint32_t port = 0; port < kFirstAudioPort; ++port) stereo->connect_port(instance, port, &controls[port]);
    controls[kPower] = 1.0f;
    controls[kLatencyPort] = -1.0f;
    for (int c = 0; c < 2; ++c) {
        stereo->connect_port(instance, AudioInputPort(c), in.data());
        stereo->connect_port(instance, AudioOutputPort(2, c), out.data() + 64 * c);
    }
    stereo->activate(instance);
    stereo->run(instance, 64);
    stereo->deactivate(instance);
    stereo->cleanup(instance);
    EXPECT_EQ(controls[kLatencyPort], 0.0f);
    EXPECT_GT(controls[kGainReductionPort], 0.0f);  // still rising from full scale
    for (float y : out) EXPECT_LT(std::fabs(y), 1.0f);
    dlclose(library);
}

// With the host's bypass off from the start, what comes out is the input, bit
// for bit (negative zero and subnormals too), however hard the settings
// would compress it.
TEST_F(Lv2Bundle, EnabledOffPassesTheInputBitForBitFromTheFirstBlock) {
    for (const PluginVariant& v : kVariants) {
        SCOPED_TRACE(v.uri);
        std::vector<float> controls;
        LilvInstance* instance = Instantiate(v, controls);
        ASSERT_NE(instance, nullptr);
        controls[kIn] = 20.0f, controls[kOut] = 20.0f, controls[EnabledPort(v.channels)] = 0.0f;
        constexpr int kFrames = 3000;
        std::vector<float> in(2 * kFrames), out(2 * kFrames, 9.0f);
        for (int i = 0; i < 2 * kFrames; ++i) in[i] = static_cast<float>(0.9 * std::sin(0.05 * i + 0.3 * (i / kFrames)));
        in[0] = -0.0f, in[1] = 1e-40f, in[kFrames + 2] = -1e-42f;
        for (int c = 0; c < v.channels; ++c) {
            lilv_instance_connect_port(instance, AudioInputPort(c), in.data() + c * kFrames);
            lilv_instance_connect_port(instance, AudioOutputPort(v.channels, c), out.data() + c * kFrames);
        }
        lilv_instance_activate(instance);
        lilv_instance_run(instance, kFrames);
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(v.channels * kFrames);
        EXPECT_EQ(std::memcmp(out.data(), in.data(), bytes), 0);
    }
}

// A host sets In to 12 and Deep on and saves the session before any audio
// ran; another restores that state alone (not the port values) into a new
// instance, whose own state then holds 12 and on.
TEST_F(Lv2Bundle, StateSavedBeforeAnyRunHoldsWhatTheHostSet) {
    const PluginVariant& stereo = kVariants[1];
    std::vector<float> controls, fresh;
    LilvInstance* set = Instantiate(stereo, controls);
    LilvInstance* restored = Instantiate(stereo, fresh);
    ASSERT_NE(set, nullptr);
    ASSERT_NE(restored, nullptr);
    controls[kIn] = 12.0f, controls[kDeep] = 1.0f;
    struct Ports {
        const LilvPlugin* plugin;
        LilvWorld* world;
        std::vector<float>* values;
        LV2_URID floatType;
    } ports{Plugin(stereo), world, &controls, map.map(this, LV2_ATOM__Float)};
    const auto portValue = [](const char* symbol, void* data, uint32_t* size, uint32_t* type) -> const void* {
        auto* ports = static_cast<Ports*>(data);
        LilvNode* name = lilv_new_string(ports->world, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(ports->plugin, name);
        lilv_node_free(name);
        *size = sizeof(float), *type = ports->floatType;
        return port ? &(*ports->values)[lilv_port_get_index(ports->plugin, port)] : nullptr;
    };
    LilvState* state = lilv_state_new_from_instance(Plugin(stereo), set, &map, nullptr, nullptr, nullptr, nullptr,
                                                    portValue, &ports, 0, features);
    ASSERT_NE(state, nullptr);
    lilv_state_restore(state, restored, nullptr, nullptr, 0, features);

    struct Saved {
        std::vector<double> values;
    } saved;
    const auto store = [](LV2_State_Handle h, uint32_t, const void* value, size_t size, uint32_t,
                          uint32_t) -> LV2_State_Status {
        auto& values = static_cast<Saved*>(h)->values;
        values.resize(size / sizeof(double));
        std::memcpy(values.data(), value, values.size() * sizeof(double));  // little-endian, as the host is
        return LV2_STATE_SUCCESS;
    };
    const auto* iface =
        static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(restored, LV2_STATE__interface));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->save(lilv_instance_get_handle(restored), store, &saved, 0, nullptr), LV2_STATE_SUCCESS);
    ASSERT_EQ(saved.values.size(), static_cast<std::size_t>(kNumParams));
    EXPECT_EQ(saved.values[kIn], 12.0);
    EXPECT_EQ(saved.values[kDeep], 1.0);
    lilv_state_free(state);
    lilv_instance_free(set);
    lilv_instance_free(restored);
}

}  // namespace
}  // namespace kestrom::lv2
