#pragma once

#include <cstdint>
#include <vector>

// One automatable parameter: a typed value in real units (dB, on/off, ...) with
// its range, step, normalisation curve, texts and display formatting. The
// plug-in base owns one per parameter index; the effect defines each once.
// No lock of its own: callers on the editor or host side hold the plug-in lock.
class IPlugParam {
public:
    enum ParamKind : int32_t { Unset = 0, Switch = 1, Integer = 2, List = 3, Continuous = 4 };

    static constexpr int kTextSize = 32;   // name, unit, tag and value texts, terminator included
    static constexpr int kMaxDecimals = 6;

    struct ValueText {
        int32_t value;
        char text[kTextSize];
    };

    IPlugParam() = default;

    // Definition. Each sets the kind only while it is still Unset, so the more
    // specific forms can delegate to the general one and keep their own kind.
    void DefineContinuous(const char* name, double defaultValue, double minimum, double maximum,
                          double step, const char* unit = "", const char* tag = "", double curve = 1.0);
    void DefineInteger(const char* name, int defaultValue, int minimum, int maximum,
                       const char* unit = "", const char* tag = "");
    void DefineList(const char* name, int defaultIndex, int count, const char* unit = "",
                    const char* tag = "");
    void DefineSwitch(const char* name, bool defaultOn, const char* unit = "", const char* tag = "");
    void AddValueText(int value, const char* text);
    // Exponent of the normalisation curve; 0 keeps the current curve.
    void SetCurve(double exponent);

    ParamKind Kind() const { return kind; }
    double Value() const { return value; }
    double Default() const { return defaultValue; }
    double Min() const { return minimum; }
    double Max() const { return maximum; }
    double Step() const { return step; }
    double Curve() const { return curve; }
    int Decimals() const { return decimals; }
    bool Automatable() const { return automatable; }
    void Range(double* outMinimum, double* outMaximum) const;

    // Sets the value in real units clamped to the range, without quantising:
    // what a restored state does. A NaN changes nothing.
    void Set(double v);
    // Sets the value from a normalised position; the only setter that quantises
    // (every kind but Continuous snaps to the nearest step).
    void SetFromNormal(double x);
    double ToNormal(double v) const;
    double CurrentNormal() const { return ToNormal(value); }
    // The value read as dB, as a linear amplitude factor.
    double GainFactor() const;

    const char* Name() const { return name; }
    const char* Unit() const { return unit; }
    const char* Tag() const { return tag; }
    // Empty text when the current value has a value text (a switch shows "on"
    // with no unit), else the unit.
    const char* UnitText() const;

    const char* ValueTextFor(int v) const;
    int ValueTextCount() const { return static_cast<int>(valueTexts.size()); }
    // Text of entry `index` (and its value); the empty text for an index outside the list.
    const char* ValueTextAt(int index, int* outValue = nullptr) const;
    bool FindValueText(const char* text, int* outValue) const;

    // Display text of v (a normalised position when isNormal) into out, which
    // holds at least kTextSize bytes; never writes more than that.
    void FormatValue(double v, bool isNormal, char* out, bool useValueTexts = true) const;

private:
    ParamKind kind = Unset;
    double value = 0.0;
    double minimum = 0.0;
    double maximum = 1.0;
    double step = 1.0;
    double curve = 1.0;
    double defaultValue = 0.0;
    int32_t decimals = 0;
    char name[kTextSize] = {};
    char unit[kTextSize] = {};
    char tag[kTextSize] = {};
    bool automatable = true;
    std::vector<ValueText> valueTexts;
};
