#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "hostlib/CPluginControl.h"

namespace hostlib_test {

// Runs a text-writing operation on a heap buffer of exactly width + 1 bytes
// between guard bytes (the sanitizer build catches a stray write at once, the
// guards catch it in a plain build) and answers the text written.
template <class Write>
std::string Guarded(int32_t width, Write write) {
    constexpr std::size_t kGuard = 16;
    const std::size_t size = kGuard + static_cast<std::size_t>(width) + 1 + kGuard;
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), '#', size);
    char* out = buffer.get() + kGuard;
    EXPECT_EQ(write(out, width), CPluginControl::kNoError) << "width " << width;
    for (std::size_t i = 0; i < kGuard; ++i) {
        EXPECT_EQ(buffer[i], '#') << "written before the buffer, width " << width;
        EXPECT_EQ(out[width + 1 + i], '#') << "written past the buffer, width " << width;
    }
    const bool terminated = std::memchr(out, '\0', static_cast<std::size_t>(width) + 1) != nullptr;
    EXPECT_TRUE(terminated) << "width " << width;
    return terminated ? std::string(out) : std::string();
}

inline std::string Name(const CPluginControl& control, int32_t width) {
    return Guarded(width, [&](char* out, int32_t w) { return control.NameForWidth(out, w); });
}

inline std::string ValueText(const CPluginControl& control, int32_t width, int32_t c) {
    return Guarded(width, [&](char* out, int32_t w) { return control.ValueTextForWidth(out, w, c); });
}

// The status of a typed text, and its control value when accepted; a
// rejected text must leave the out parameter alone.
struct Typed {
    int32_t status;
    int32_t controlValue;
};

inline Typed Type(const CPluginControl& control, const char* text) {
    constexpr int32_t kUntouched = 0x5A5A5A5A;
    int32_t c = kUntouched;
    const int32_t status = control.ControlValueForText(text, &c);
    if (status != CPluginControl::kNoError) {
        EXPECT_EQ(c, kUntouched) << "a rejected text gave a value";
    }
    return {status, c};
}

}  // namespace hostlib_test
