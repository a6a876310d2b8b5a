#include "core/IPlugParam.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/Decibels.h"
#include "core/FixedText.h"

namespace {

// Truncation toward zero to a 32-bit integer, defined for every double: values
// outside the int range (and NaN) report failure instead of invoking undefined
// behaviour.
bool TruncateToInt(double v, int* out) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
    *out = static_cast<int>(v);
    return true;
}

}  // namespace

void IPlugParam::DefineContinuous(const char* newName, double newDefault, double newMinimum,
                                  double newMaximum, double newStep, const char* newUnit,
                                  const char* newTag, double newCurve) {
    if (kind == Unset) kind = Continuous;
    kestrom::CopyText(name, newName);
    kestrom::CopyText(unit, newUnit);
    kestrom::CopyText(tag, newTag);
    minimum = newMinimum;
    value = defaultValue = newDefault;
    // The range is at least one step wide, so ToNormal never divides by zero
    // for a positive step.
    maximum = newMaximum > newMinimum + newStep ? newMaximum : newMinimum + newStep;
    step = newStep;
    decimals = 0;
    double s = newStep;
    while (s != std::floor(s) && decimals < kMaxDecimals) {
        ++decimals;
        s *= 10.0;
    }
    SetCurve(newCurve);
}

void IPlugParam::DefineInteger(const char* newName, int newDefault, int newMinimum, int newMaximum,
                               const char* newUnit, const char* newTag) {
    if (kind == Unset) kind = Integer;
    DefineContinuous(newName, newDefault, newMinimum, newMaximum, 1.0, newUnit, newTag, 1.0);
}

void IPlugParam::DefineList(const char* newName, int defaultIndex, int count, const char* newUnit,
                            const char* newTag) {
    if (kind == Unset) kind = List;
    DefineInteger(newName, defaultIndex, 0, count - 1, newUnit, newTag);
}

void IPlugParam::DefineSwitch(const char* newName, bool defaultOn, const char* newUnit,
                              const char* newTag) {
    if (kind == Unset) kind = Switch;
    DefineList(newName, defaultOn ? 1 : 0, 2, newUnit, newTag);
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IPlugParam::AddValueText(int v, const char* text) {
    ValueText entry{};
    entry.value = v;
    kestrom::CopyText(entry.text, text);
    valueTexts.push_back(entry);
}

void IPlugParam::SetCurve(double exponent) {
    if (exponent != 0.0) curve = exponent;
}

void IPlugParam::Range(double* outMinimum, double* outMaximum) const {
    if (outMinimum) *outMinimum = minimum;
    if (outMaximum) *outMaximum = maximum;
}

void IPlugParam::Set(double v) {
    if (std::isnan(v)) return;  // not a value: the parameter keeps the one it has
    if (v < minimum) v = minimum;
    if (v > maximum) v = maximum;
    value = v;
}

void IPlugParam::SetFromNormal(double x) {
    double v = minimum + std::pow(x, curve) * (maximum - minimum);
    // A zero or negative step cannot quantise; such a parameter keeps the raw value.
    if (kind != Continuous && step > 0.0) v = std::floor(v / step + 0.5) * step;
    // Clamped at the top only: positions are expected in 0..1.
    value = v < maximum ? v : maximum;
}

double IPlugParam::ToNormal(double v) const {
    if (v < minimum) v = minimum;
    if (v > maximum) v = maximum;
    const double span = maximum - minimum;
    if (!(span != 0.0)) return 0.0;  // only reachable with a non-positive step
    return std::pow((v - minimum) / span, 1.0 / curve);
}

double IPlugParam::GainFactor() const { return kestrom::DbToGain(value); }

const char* IPlugParam::UnitText() const {
    int v = 0;
    if (TruncateToInt(value, &v) && ValueTextFor(v)[0] != '\0') return "";
    return unit;
}

const char* IPlugParam::ValueTextFor(int v) const {
    for (const ValueText& entry : valueTexts)
        if (entry.value == v) return entry.text;
    return "";
}

const char* IPlugParam::ValueTextAt(int index, int* outValue) const {
    if (index < 0 || index >= ValueTextCount()) return "";
    if (outValue) *outValue = valueTexts[index].value;
    return valueTexts[index].text;
}

bool IPlugParam::FindValueText(const char* text, int* outValue) const {
    if (!text) return false;
    for (const ValueText& entry : valueTexts) {
        if (std::strcmp(entry.text, text) == 0) {
            if (outValue) *outValue = entry.value;
            return true;
        }
    }
    return false;
}

void IPlugParam::FormatValue(double v, bool isNormal, char* out, bool useValueTexts) const {
    if (!out) return;
    if (isNormal) v = minimum + std::pow(v, curve) * (maximum - minimum);

    int whole = 0;
    const bool fitsInt = TruncateToInt(v, &whole);
    if (useValueTexts && fitsInt) {
        const char* text = ValueTextFor(whole);
        if (text[0] != '\0') {
            kestrom::CopyText(out, kTextSize, text);
            return;
        }
    }
    if (decimals != 0) {
        std::snprintf(out, kTextSize, "%.*f", static_cast<int>(decimals), v);
    } else if (fitsInt) {
        std::snprintf(out, kTextSize, "%d", whole);
    } else {
        // Beyond the integer range (or not a number): show the truncated value
        // itself rather than an arbitrary integer.
        std::snprintf(out, kTextSize, "%.0f", std::trunc(v));
    }
}
