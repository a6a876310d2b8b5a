#include "hostlib/CDAEError.h"

#include <cstdio>

CDAEError::CDAEError(int32_t c) noexcept : code(c) {
    std::snprintf(text, sizeof text, "CDAEError %ld", static_cast<long>(c));
}
