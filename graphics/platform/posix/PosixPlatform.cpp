#include "graphics/platform/posix/PosixPlatform.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
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

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
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

std::string PosixPlatform::FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    return path.substr(0, slash + 1);
}

std::string PosixPlatform::HostDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? FolderOf(std::string(path, static_cast<size_t>(n))) : std::string();
}

std::string PosixPlatform::ModuleDirectory() {
    Dl_info info{};
    static const int kAnchor = 0;  // any object of this binary locates it
    if (!dladdr(&kAnchor, &info) || !info.dli_fname) return std::string();
    char resolved[PATH_MAX];
    return FolderOf(realpath(info.dli_fname, resolved) ? resolved : info.dli_fname);
}

std::string PosixPlatform::DesktopDirectory() {
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/Desktop";
}

std::string PosixPlatform::AppDataDirectory() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) return data;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.local/share";
}
