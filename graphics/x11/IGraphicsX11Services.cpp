#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "graphics/LICE_CachedFont.h"
#include "graphics/LICE_FontDescription.h"
#include "graphics/LICE_PngBitmap.h"
#include "graphics/x11/IGraphicsX11.h"

// What the context asks of the platform besides the window: pictures, fonts,
// folders, and the dialogs this layer does without.

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

// Everything after the last '/' is cut; empty when there is none or the path
// ends with it.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return std::string();
    return path.substr(0, slash + 1);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}
}  // namespace

std::unique_ptr<LICE_IBitmap> IGraphicsX11::LoadPlatformBitmap(int id, const char* name) {
    if (!HasPngExtension(name)) return nullptr;
    return LICE_PngBitmap::FromResource(nullptr, id);
}

std::unique_ptr<LICE_IFont> IGraphicsX11::CreatePlatformFont(const ITextStyle& style) {
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

void IGraphicsX11::HostDirectory(std::string& out) {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    out = n > 0 ? FolderOf(std::string(path, static_cast<size_t>(n))) : std::string();
}

void IGraphicsX11::ModuleDirectory(std::string& out) {
    Dl_info info{};
    static const int kAnchor = 0;  // any object of this binary locates it
    char resolved[4096];
    if (dladdr(&kAnchor, &info) && info.dli_fname)
        out = FolderOf(realpath(info.dli_fname, resolved) ? resolved : info.dli_fname);
    else
        out.clear();
}

void IGraphicsX11::DesktopDirectory(std::string& out) {
    const std::string home = HomeFolder();
    out = home.empty() ? std::string() : home + "/Desktop";
}

void IGraphicsX11::AppDataDirectory(std::string& out) {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) {
        out = data;
        return;
    }
    const std::string home = HomeFolder();
    out = home.empty() ? std::string() : home + "/.local/share";
}

int IGraphicsX11::ShowMessageBox(const char*, const char*, int type) { return type == kTypeYesNo ? kNo : kOk; }

IMenu* IGraphicsX11::ShowPopupMenu(IMenu&, const IBounds&) {
    ClearCapture();
    buttonDown = false;
    return nullptr;
}

void IGraphicsX11::ShowTextEntry(IControl*, const ITextStyle&, const IBounds&, const char*, IPlugParam*) {}

void IGraphicsX11::CancelTextEntry() {}

void IGraphicsX11::PromptForFile(std::string& path, int, std::string&, const char*) { path.clear(); }

bool IGraphicsX11::PromptForColour(IRgba&, const char*) { return false; }

bool IGraphicsX11::OpenURL(const char*, const char* title, const char* confirmText, const char* failureText) {
    if (confirmText && ShowMessageBox(confirmText, title, kTypeYesNo) != kYes) return false;
    if (failureText) ShowMessageBox(failureText, title, kTypeOk);
    return false;
}
