#include "hostlib/CViewDescription.h"

#include <cstring>

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdCharacter(char c) { return c >= 0x20 && c <= 0x7E && c != '\''; }

}  // namespace

bool CViewDescription::Parse(const char* text, CViewDescription* out) {
    if (!text || !out) return false;
    const std::size_t length = strnlen(text, kMaxTextLength + 1);
    if (length > kMaxTextLength) return false;
    const char* p = text;
    const char* const end = text + length;

    if (p == end || *p != '!') return false;
    ++p;
    const char* const nameStart = p;
    if (p == end || !IsLetter(*p)) return false;
    while (p != end && (IsLetter(*p) || IsDigit(*p))) ++p;
    const std::size_t nameLength = static_cast<std::size_t>(p - nameStart);
    if (nameLength > kMaxNameLength) return false;

    int32_t id = kNoId;
    if (p != end) {
        // "[(" [ "'" four characters "'" ] ")]" and nothing after.
        if (end - p < 4 || p[0] != '[' || p[1] != '(') return false;
        p += 2;
        if (*p == '\'') {
            if (end - p < 6 || p[5] != '\'') return false;
            uint32_t code = 0;
            for (int i = 1; i <= 4; ++i) {
                if (!IsIdCharacter(p[i])) return false;
                code = (code << 8) | static_cast<unsigned char>(p[i]);
            }
            id = static_cast<int32_t>(code);
            p += 6;
        }
        if (end - p != 2 || p[0] != ')' || p[1] != ']') return false;
    }

    std::memcpy(out->className, nameStart, nameLength);
    out->className[nameLength] = '\0';
    out->viewId = id;
    return true;
}
