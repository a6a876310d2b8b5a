#pragma once

#include <cstddef>
#include <cstdint>

// The host library's table of SI prefixes for value texts: twelve entries from
// femto to exa, smallest factor first. A continuous control shows and reads its
// values with the prefixes of one contiguous range of this table.
class CSIPrefixTable {
public:
    struct Entry {
        const char* name;  // "" for the entry of factor 1
        double factor;
    };

    // A half-open range of table indices [first, end). Ranges handed to the
    // controls are normalised by Clamped(): indices are limited to
    // 0..kCount and an end below first gives the empty range.
    struct Range {
        int32_t first;
        int32_t end;

        bool Empty() const { return end <= first; }
        Range Clamped() const;
    };

    static constexpr int32_t kCount = 12;
    static constexpr int32_t kFemto = 0;
    static constexpr int32_t kMilli = 4;
    static constexpr int32_t kUnity = 5;  // the entry with the empty name
    static constexpr int32_t kKilo = 6;
    static constexpr int32_t kExa = 11;

    // No prefix at all: values are shown and read as they are.
    static constexpr Range kNoPrefixes{0, 0};
    // From no prefix (x1) up to and including "E" (x10^18): the range the
    // bridge gives every continuous control, so large values are shown with
    // "k", "M", ... and small ones without a prefix.
    static constexpr Range kUnityToExa{kUnity, kExa + 1};
    static constexpr Range kAll{0, kCount};

    // The entry at `index`, or null outside 0..kCount-1.
    static const Entry* At(int32_t index);
    // Index of the entry inside `range` whose name equals `name` exactly
    // (letter case matters), or -1 when there is none or name is null.
    static int32_t Find(Range range, const char* name, std::size_t length);
};
