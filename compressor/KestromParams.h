#pragma once

#include "core/IPlugParam.h"

// The compressor's parameters: one table that the plug-in's definitions, the
// editor's bindings and the host controls all read. Indices are fixed; saved
// state stores the values in this order.
namespace kestrom {

enum KestromParam : int {
    kIn = 0,
    kOut,
    kDeep,
    kRelaxed,
    kDualMono,
    kNegative,
    kPower,
    kNumParams
};

// Editor address of the gain-reduction needle; no parameter of the plug-in.
constexpr int kMeterIndex = 8;
// Gain reduction, in dB, at the needle's full travel (needle value 1).
constexpr double kMeterFullScaleDb = 22.0;

struct ParamDef {
    const char* name;
    IPlugParam::ParamKind kind;  // Continuous or Switch
    double defaultValue;
    double minimum;              // Continuous only
    double maximum;
    double step;
    const char* unit;
    const char* cliName;         // option name of the command-line tool
};

constexpr ParamDef kParamTable[kNumParams] = {
    {"In", IPlugParam::Continuous, 0.0, -20.0, 20.0, 0.1, "dB", "in"},
    {"Out", IPlugParam::Continuous, 0.0, -20.0, 20.0, 0.1, "dB", "out"},
    {"Deep", IPlugParam::Switch, 0.0, 0.0, 1.0, 1.0, "", "deep"},
    {"Relaxed", IPlugParam::Switch, 0.0, 0.0, 1.0, 1.0, "", "relaxed"},
    {"Dual Mono", IPlugParam::Switch, 0.0, 0.0, 1.0, 1.0, "", "dual-mono"},
    {"Negative", IPlugParam::Switch, 0.0, 0.0, 1.0, 1.0, "", "negative"},
    {"Power", IPlugParam::Switch, 1.0, 0.0, 1.0, 1.0, "", "power"},
};

// Defines parameter `def` on `param` the way the plug-in does.
inline void DefineParam(IPlugParam& param, const ParamDef& def) {
    if (def.kind == IPlugParam::Switch)
        param.DefineSwitch(def.name, def.defaultValue != 0.0, def.unit, "");
    else
        param.DefineContinuous(def.name, def.defaultValue, def.minimum, def.maximum, def.step,
                               def.unit, "", 1.0);
}

}  // namespace kestrom
