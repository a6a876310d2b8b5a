#pragma once

#include <cstddef>
#include <cstdint>

// A subview description as the host's view layouts write it: an exclamation
// mark, the name of a view class registered with the effect group, and an
// optional argument list holding the view's four-character ID in quotes:
//
//     !IPlugDigiView[('NoID')]
//     !IPlugDigiView[()]
//     !IPlugDigiView
//
// The class name is a letter or '_' followed by letters, digits and '_', at
// most kMaxNameLength characters. The ID is exactly four printable characters
// other than the quote; without one the ID is 'NoID'. Blanks are allowed
// nowhere, and nothing may follow the closing bracket. Parse reads at most
// kMaxTextLength characters, so a text without a terminator nearby is
// refused rather than read on.
class CViewDescription {
public:
    static constexpr std::size_t kMaxNameLength = 63;
    static constexpr std::size_t kMaxTextLength = 256;
    static constexpr int32_t kNoId = 0x4E6F4944;  // 'NoID'

    // Fills *out and answers true for a well-formed description; answers false
    // and leaves *out as it was otherwise (a null text or out included).
    static bool Parse(const char* text, CViewDescription* out);

    const char* ClassName() const { return className; }
    int32_t ViewId() const { return viewId; }

private:
    char className[kMaxNameLength + 1] = {};
    int32_t viewId = kNoId;
};
