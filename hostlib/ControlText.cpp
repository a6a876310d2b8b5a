#include "hostlib/ControlText.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace kestrom::hostlib {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// For a decimal number text [first, last) that does not fit a double: true
// when its magnitude lies above the double range, false when below it. The
// decimal exponent of the leading significant digit plus the written exponent
// tells them apart (overflow needs about +308, underflow about -308).
bool MagnitudeAboveRange(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '-' || *p == '+')) ++p;
    long long integerDigits = 0;  // significant digits before the point
    long long zerosAfterPoint = 0;  // zeros between the point and the first significant digit
    bool significant = false;
    bool afterPoint = false;
    for (; p < last && (IsDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (significant) {
            if (!afterPoint) ++integerDigits;
        } else if (*p != '0') {
            significant = true;
            if (!afterPoint) integerDigits = 1;
        } else if (afterPoint) {
            ++zerosAfterPoint;
        }
    }
    long long exponent = integerDigits > 0 ? integerDigits - 1 : -(zerosAfterPoint + 1);
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negative = false;
        if (p < last && (*p == '-' || *p == '+')) negative = *p++ == '-';
        long long written = 0;
        for (; p < last && IsDigit(*p); ++p)
            if (written < 1000000000LL) written = written * 10 + (*p - '0');
        exponent += negative ? -written : written;
    }
    return exponent > 0;
}

}  // namespace

TextSpan ChooseForm(const char* text, std::size_t width) {
    if (!text) return {"", 0};
    const char* form = text;
    for (;;) {
        const char* lineFeed = std::strchr(form, '\n');
        const std::size_t length = lineFeed ? static_cast<std::size_t>(lineFeed - form) : std::strlen(form);
        if (length <= width || !lineFeed) return {form, length};
        form = lineFeed + 1;
    }
}

void WriteCut(char* out, std::size_t width, const char* text, std::size_t length) {
    const std::size_t n = length < width ? length : width;
    if (n > 0) std::memmove(out, text, n);
    out[n] = '\0';
}

bool EqualIgnoringCase(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    if (aLength != bLength) return false;
    for (std::size_t i = 0; i < aLength; ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int64_t ReadLeadingInteger(const char* text) {
    constexpr int64_t kLimit = int64_t{1} << 40;
    if (!text) return 0;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t magnitude = 0;
    for (; IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > kLimit) magnitude = kLimit;
    }
    return negative ? -magnitude : magnitude;
}

bool ReadNumber(const char* text, double* out, const char** end) {
    if (!text) return false;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    // from_chars reads no '+' of its own; one '+' is allowed, but not before another sign.
    if (*p == '+') {
        ++p;
        if (*p == '+' || *p == '-') return false;
    }
    const char* last = p + std::strlen(p);
    double v = 0.0;
    const std::from_chars_result result = std::from_chars(p, last, v, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return false;
    if (result.ec == std::errc::result_out_of_range) {
        v = MagnitudeAboveRange(p, result.ptr) ? std::numeric_limits<double>::infinity() : 0.0;
        if (*p == '-') v = -v;
    } else if (result.ec != std::errc()) {
        return false;
    }
    *out = v;
    *end = result.ptr;
    return true;
}

std::size_t FormatFixed(double v, int32_t decimals, char* out) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxFixedDecimals) decimals = kMaxFixedDecimals;
    const std::to_chars_result result =
        std::to_chars(out, out + kFixedTextSize - 1, v, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {  // cannot happen with kFixedTextSize; stay safe anyway
        out[0] = '\0';
        return 0;
    }
    std::size_t length = static_cast<std::size_t>(result.ptr - out);
    out[length] = '\0';
    // A negative number that rounds to zero at these decimals shows as zero.
    if (length > 1 && out[0] == '-' && std::strspn(out + 1, "0.") == length - 1) {
        std::memmove(out, out + 1, length);  // the terminator moves too
        --length;
    }
    return length;
}

}  // namespace kestrom::hostlib
