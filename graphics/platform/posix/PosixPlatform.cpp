#include "graphics/platform/posix/PosixPlatform.h"

#include <cctype>
#include <cstring>

#include "graphics/ITextStyle.h"
#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/LICE_PngBitmap.h"

namespace {

constexpr int kBoldWeight = 700;  // font weights as Windows counts them
constexpr int kNormalWeight = 400;

bool HasPngExtension(const char* name) {
    const char* dot = name ? std::strrchr(name, '.') : nullptr;
    if (!dot || std::strlen(dot + 1) != 3) return false;
    const char* e = dot + 1;
    return std::tolower(static_cast<unsigned char>(e[0])) == 'p' &&
           std::tolower(static_cast<unsigned char>(e[1])) == 'n' && std::tolower(static_cast<unsigned char>(e[2])) == 'g';
}

}  // namespace

std::unique_ptr<LICE_IBitmap> PosixPlatform::LoadPicture(int id, const char* name) {
    if (!HasPngExtension(name)) return nullptr;
    return LICE_PngBitmap::FromResource(nullptr, id);
}

std::unique_ptr<LICE_IFont> PosixPlatform::CreateFont(const ITextStyle& style) {
    LICE_FontDescription d;
    static_assert(sizeof d.faceName == sizeof style.fontName, "face names are 32 bytes");
    std::memcpy(d.faceName, style.fontName, sizeof d.faceName);
    d.faceName[sizeof d.faceName - 1] = '\0';
    d.height = style.size;
    d.weight = style.style == ITextStyle::kBold ? kBoldWeight : kNormalWeight;
    d.italic = style.style == ITextStyle::kItalic;
    auto font = std::make_unique<LICE_CachedFont>();
    font->SetFromHFont(&d, LICE::FontOwnsHandle | LICE::FontPreferNative);
    return font;
}
