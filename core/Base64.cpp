#include "core/Base64.h"

namespace kestrom {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(const uint8_t* data, int n) {
    std::string out;
    if (n <= 0 || !data) return out;
    out.reserve(static_cast<std::size_t>((n + 2) / 3) * 4);
    for (int i = 0; i < n; i += 3) {
        const int left = n - i;
        const uint32_t triple = (static_cast<uint32_t>(data[i]) << 16) |
                                (left > 1 ? static_cast<uint32_t>(data[i + 1]) << 8 : 0) |
                                (left > 2 ? static_cast<uint32_t>(data[i + 2]) : 0);
        out += kAlphabet[(triple >> 18) & 63];
        out += kAlphabet[(triple >> 12) & 63];
        out += left > 1 ? kAlphabet[(triple >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[triple & 63] : '=';
    }
    return out;
}

int Base64Decode(const char* text, uint8_t* out, int maxBytes) {
    if (!text || !out || maxBytes <= 0) return 0;
    int written = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    for (const char* p = text; *p; ++p) {
        const int sextet = SextetOf(*p);
        if (sextet < 0) break;
        bits = (bits << 6) | static_cast<uint32_t>(sextet);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            if (written >= maxBytes) break;
            out[written++] = static_cast<uint8_t>(bits >> bitCount);
            bits &= (1u << bitCount) - 1;
        }
    }
    return written;
}

}  // namespace kestrom
