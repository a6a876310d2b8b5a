#pragma once

#include <cstddef>
#include <cstdint>

// Text helpers shared by the host controls: the form of a multi-form text
// chosen for a display width, bounded writes into the host's buffers, and
// number reading and writing that ignore the C locale (a host may have set a
// locale whose decimal point is a comma; the controls always use '.').
namespace kestrom::hostlib {

struct TextSpan {
    const char* text;
    std::size_t length;
};

// Forms are separated by line feeds, longest first. Answers the first form
// whose length is at most `width`, or the last form when none is short
// enough; its length is uncut. A null text answers the empty text.
TextSpan ChooseForm(const char* text, std::size_t width);

// Writes min(length, width) characters of `text` and a terminator into `out`,
// which holds at least width + 1 bytes.
void WriteCut(char* out, std::size_t width, const char* text, std::size_t length);

// ASCII letter case is ignored; other bytes compare as they are.
bool EqualIgnoringCase(const char* a, std::size_t aLength, const char* b, std::size_t bLength);

// The C library's blanks: space, tab, line feed, vertical tab, form feed, return.
bool IsBlank(char c);

// The leading integer of `text` as atoi reads it (blanks, optional sign,
// digits; anything after is ignored; no digits reads 0), saturated into
// [-2^40, 2^40] instead of overflowing, which is beyond every 32-bit range.
int64_t ReadLeadingInteger(const char* text);

// Reads a decimal floating-point number at the start of `text` after blanks:
// optional sign, digits with an optional point, optional exponent, or inf,
// infinity, nan. A magnitude beyond the double range reads as infinity, one
// below it as zero, both with their sign. Answers false (and leaves *out and
// *end alone) when no number starts there.
bool ReadNumber(const char* text, double* out, const char** end);

// Size of a buffer that holds any FormatFixed text with up to kMaxFixedDecimals.
constexpr int32_t kMaxFixedDecimals = 20;
constexpr std::size_t kFixedTextSize = 400;

// Writes v in fixed-point notation with `decimals` decimals (limited to
// 0..kMaxFixedDecimals) and a terminator into `out` of kFixedTextSize bytes,
// and answers its length. A text that reads as zero never carries a minus sign.
std::size_t FormatFixed(double v, int32_t decimals, char* out);

}  // namespace kestrom::hostlib
