#include "hostlib/CPluginControl_Continuous.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "hostlib/ControlText.h"

using namespace kestrom::hostlib;

static_assert(CPluginControl_Continuous::kMaxDecimals <= kMaxFixedDecimals,
              "value texts must fit the fixed-point buffer");

namespace {

double FiniteBound(double v) {
    if (std::isnan(v)) return 0.0;
    const double largest = std::numeric_limits<double>::max();
    if (v > largest) return largest;
    if (v < -largest) return -largest;
    return v;
}

// Builds a text piece by piece into a buffer of width + 1 bytes; what does not
// fit is cut at the width.
class BoundedText {
public:
    BoundedText(char* out, std::size_t width) : out_(out), width_(width) {}
    void Append(const char* text, std::size_t length) {
        const std::size_t room = width_ - used_;
        const std::size_t n = length < room ? length : room;
        if (n > 0) std::memcpy(out_ + used_, text, n);
        used_ += n;
    }
    void Append(const char* text) { Append(text, std::strlen(text)); }
    void Finish() { out_[used_] = '\0'; }

private:
    char* out_;
    std::size_t width_;
    std::size_t used_ = 0;
};

}  // namespace

CPluginControl_Continuous::CPluginControl_Continuous(uint32_t id, const char* names, double newMinimum,
                                                     double newMaximum, double newDefault,
                                                     bool automatable, CSIPrefixTable::Range newPrefixes)
    : CPluginControl(id, names, automatable),
      minimum(FiniteBound(newMinimum)),
      maximum(FiniteBound(newMaximum)),
      defaultValue(newDefault),
      prefixes(newPrefixes.Clamped()) {
    if (maximum < minimum) maximum = minimum;
}

void CPluginControl_Continuous::SetDecimals(int32_t count) {
    decimals = count < 0 ? 0 : (count > kMaxDecimals ? kMaxDecimals : count);
}

void CPluginControl_Continuous::SetUnit(const char* text) { unit = text ? text : ""; }

void CPluginControl_Continuous::SetFromControlValue(int32_t controlValue) {
    SetHeldControlValue(ControlValueFromValue(ValueFromControlValue(controlValue)));
}

int32_t CPluginControl_Continuous::ControlValueForText(const char* text, int32_t* outControlValue) const {
    if (!text || !outControlValue) return kErrorNullPointer;
    double number = 0.0;
    const char* p = nullptr;
    if (!ReadNumber(text, &number, &p) || std::isnan(number)) return kErrorTextRejected;

    while (IsBlank(*p)) ++p;
    const char* word = p;
    while (*p != '\0' && !IsBlank(*p)) ++p;
    std::size_t wordLength = static_cast<std::size_t>(p - word);
    while (IsBlank(*p)) ++p;
    if (*p != '\0') return kErrorTextRejected;  // a second word

    if (!unit.empty() && wordLength >= unit.size() &&
        std::memcmp(word + wordLength - unit.size(), unit.data(), unit.size()) == 0)
        wordLength -= unit.size();

    double factor = 1.0;
    if (!prefixes.Empty()) {
        const int32_t index = CSIPrefixTable::Find(prefixes, word, wordLength);
        if (index < 0) return kErrorTextRejected;
        factor = CSIPrefixTable::At(index)->factor;
    } else if (wordLength > 0) {
        return kErrorTextRejected;
    }
    *outControlValue = ControlValueFromValue(number * factor);
    return kNoError;
}

bool CPluginControl_Continuous::AcceptsCharacter(int32_t code) const {
    if (code >= '0' && code <= '9') return true;
    switch (code) {
        case '.': case '+': case '-':
        case kBackspace: case kLeftArrow: case kRightArrow:
            return true;
        default:
            break;
    }
    // Wider codes would otherwise alias a character through the narrowing,
    // and 0 would match every text's terminator.
    if (code < 1 || code > 255) return false;
    const char c = static_cast<char>(static_cast<unsigned char>(code));
    for (int32_t i = prefixes.first; i < prefixes.end; ++i) {
        const char* name = CSIPrefixTable::At(i)->name;
        if (std::memchr(name, c, std::strlen(name))) return true;
    }
    return std::memchr(unit.data(), c, unit.size()) != nullptr;
}

int32_t CPluginControl_Continuous::ValueTextForWidth(char* out, int32_t width, int32_t controlValue) const {
    const int32_t status = CheckTextBuffer(out, width);
    if (status != kNoError) return status;
    const std::size_t w = static_cast<std::size_t>(width);

    double v = ValueFromControlValue(controlValue);

    double factor = 1.0;
    const char* prefix = "";
    if (v != 0.0) {
        const double magnitude = std::fabs(v);
        for (int32_t i = prefixes.first; i < prefixes.end; ++i) {
            const CSIPrefixTable::Entry* entry = CSIPrefixTable::At(i);
            if (entry->factor >= magnitude) break;
            factor = entry->factor;
            prefix = entry->name;
        }
    }

    if (v < 0.0 && v > -std::pow(10.0, -decimals)) v = 0.0;

    char number[kFixedTextSize];
    const std::size_t prefixLength = std::strlen(prefix);
    std::size_t numberLength = 0;
    for (int32_t n = decimals;; --n) {
        numberLength = FormatFixed(v / factor, n, number);
        if (numberLength + prefixLength <= w || n <= 0) break;
    }

    const std::size_t unitLength = unit.size();
    BoundedText text(out, w);
    if (unitLength > 0 && w >= numberLength + prefixLength + unitLength + 1) {
        text.Append(number, numberLength);
        text.Append(" ");
        text.Append(prefix);
        text.Append(unit.c_str(), unitLength);
    } else if (w >= numberLength + prefixLength + unitLength) {
        text.Append(number, numberLength);
        text.Append(prefix);
        text.Append(unit.c_str(), unitLength);
    } else if (w >= numberLength + prefixLength) {
        text.Append(number, numberLength);
        text.Append(prefix);
    } else {
        text.Append("*");
        if (w >= 1 + prefixLength + unitLength + 1) {
            text.Append(" ");
            text.Append(prefix);
            text.Append(unit.c_str(), unitLength);
        } else if (w >= 1 + prefixLength + unitLength) {
            text.Append(prefix);
            text.Append(unit.c_str(), unitLength);
        } else if (w >= 1 + prefixLength) {
            text.Append(prefix);
        }
    }
    text.Finish();
    return kNoError;
}
