#pragma once

#include <string>

#include "compressor/KestromParams.h"

// Writes the LV2 bundle's data files from the parameter table and the bundle
// layout (lv2/KestromLv2Layout.h): manifest.ttl, the two plug-ins'
// descriptions (kestrom.ttl) and their default presets (presets.ttl), and the
// port table of the README. The build runs it (lv2/GenerateTurtle.cpp); no
// Turtle is written by hand.
class KestromTurtle {
public:
    static constexpr const char* kPluginsFile = "kestrom.ttl";
    static constexpr const char* kPresetsFile = "presets.ttl";

    // Whether the table can be described: every unit known (see UnitTerm),
    // every symbol a distinct identifier, every range ordered with its default
    // inside. On failure `error` says which parameter is wrong.
    static bool Check(std::string& error);

    // `binaryName` and `uiBinaryName` are the file names, inside the bundle,
    // of the plug-ins' (DSP) binary and of their editor's binary.
    static std::string Manifest(const std::string& binaryName, const std::string& uiBinaryName);
    static std::string Plugins();
    static std::string Presets();
    // The README's table of ports (Markdown).
    static std::string PortTable();

    // A parameter's port symbol: its command-line name with '-' as '_'.
    static std::string Symbol(const kestrom::ParamDef& def);
    // The number of values a continuous parameter's knob steps through, as
    // its host control counts them: (maximum - minimum) / step + 1, truncated
    // (401 for the gains' 0.1 dB steps over -20 ... +20 dB).
    static int RangeSteps(const kestrom::ParamDef& def);
    // The units-extension term of a unit text ("dB" gives "units:db"); the
    // empty text for no unit; null for a unit the extension has no term for.
    static const char* UnitTerm(const char* unit);
    // The shortest decimal that reads back as exactly `value`, with a decimal
    // point so that Turtle reads it as a decimal ("-20.0", "0.1").
    static std::string Number(double value);
};
