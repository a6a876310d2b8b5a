#include "hostlib/CPluginControl_Linear.h"

#include <cmath>

namespace {

constexpr double kControlSpan = 4294967295.0;  // top - bottom of the control values
constexpr double kControlOffset = 2147483648.0;  // -bottom

int32_t CountSteps(double span, double step) {
    if (!(step > 0.0)) return CPluginControl::kTop;
    const double count = span / step + 1.0;
    if (!(count < 2147483647.0)) return CPluginControl::kTop;
    return count < 1.0 ? 1 : static_cast<int32_t>(count);
}

// floor() already applied; limits to the 32-bit range, NaN to the bottom.
int32_t ToControl(double c) {
    if (!(c > -2147483648.0)) return CPluginControl::kBottom;
    if (c >= 2147483647.0) return CPluginControl::kTop;
    return static_cast<int32_t>(c);
}

}  // namespace

CPluginControl_Linear::CPluginControl_Linear(uint32_t id, const char* names, double minimum,
                                             double maximum, double newStep, double defaultValue,
                                             bool automatable, CSIPrefixTable::Range prefixes)
    : CPluginControl_Continuous(id, names, minimum, maximum, defaultValue, automatable, prefixes),
      step(newStep),
      stepCount(CountSteps(Maximum() - Minimum(), newStep)) {
    SetHeldControlValue(CPluginControl_Linear::ControlValueFromValue(defaultValue));
}

int32_t CPluginControl_Linear::StepCount() const { return stepCount; }

int32_t CPluginControl_Linear::ControlValueFromValue(double v) const {
    const double lo = Minimum();
    const double hi = Maximum();
    if (std::isnan(v) || v < lo) v = lo;
    if (v > hi) v = hi;
    if (!(hi > lo)) return kBottom;

    const double span = hi - lo;
    double c = kControlSpan * (v - lo) / span - kControlOffset + 0.5;
    if (!std::isfinite(c) || !std::isfinite(span)) {
        // The span or the product went beyond the doubles: the same fraction
        // on halved bounds, which always stay finite.
        const double fraction = (v * 0.5 - lo * 0.5) / (hi * 0.5 - lo * 0.5);
        c = kControlSpan * fraction - kControlOffset + 0.5;
    }
    return ToControl(std::floor(c));
}

double CPluginControl_Linear::ValueFromControlValue(int32_t controlValue) const {
    const double lo = Minimum();
    const double hi = Maximum();
    const double steps = static_cast<double>(controlValue) + kControlOffset;
    const double span = hi - lo;
    double v = lo + span * steps / kControlSpan;
    if (!std::isfinite(v)) {
        // The span or the product went beyond the doubles: the fraction first,
        // on halved bounds, so nothing on the way can leave them.
        v = 2.0 * (lo * 0.5 + (hi * 0.5 - lo * 0.5) * (steps / kControlSpan));
    }
    if (!(v > lo)) return lo;
    if (v > hi) return hi;
    return v;
}
