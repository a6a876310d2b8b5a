#include "hostlib/CSIPrefixTable.h"

#include <cstring>

namespace {

const CSIPrefixTable::Entry kEntries[CSIPrefixTable::kCount] = {
    {"f", 1e-15}, {"p", 1e-12}, {"n", 1e-9}, {"u", 1e-6}, {"m", 1e-3}, {"", 1.0},
    {"k", 1e3},   {"M", 1e6},   {"G", 1e9},  {"T", 1e12}, {"P", 1e15}, {"E", 1e18},
};

int32_t ClampIndex(int32_t i) {
    if (i < 0) return 0;
    if (i > CSIPrefixTable::kCount) return CSIPrefixTable::kCount;
    return i;
}

}  // namespace

CSIPrefixTable::Range CSIPrefixTable::Range::Clamped() const {
    Range r{ClampIndex(first), ClampIndex(end)};
    if (r.end < r.first) r.end = r.first;
    return r;
}

const CSIPrefixTable::Entry* CSIPrefixTable::At(int32_t index) {
    if (index < 0 || index >= kCount) return nullptr;
    return &kEntries[index];
}

int32_t CSIPrefixTable::Find(Range range, const char* name, std::size_t length) {
    if (!name) return -1;
    const Range r = range.Clamped();
    for (int32_t i = r.first; i < r.end; ++i) {
        const char* entry = kEntries[i].name;
        if (std::strlen(entry) == length && std::memcmp(entry, name, length) == 0) return i;
    }
    return -1;
}
