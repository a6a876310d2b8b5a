// The system bitmap's platform part on Windows: a top-down 32-bit DIB section
// selected into a memory device context compatible with the screen, so the
// window layer can copy it to the window with BitBlt.
// Built only by Windows builds (graphics/CMakeLists.txt).
#include <windows.h>

#include "graphics/LICE_SysBitmap.h"

bool LICE_SysBitmap::OpenContext() {
    HDC screen = GetDC(nullptr);
    context_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    return context_ != nullptr;
}

void LICE_SysBitmap::CloseContext() {
    if (context_ != nullptr) {
        DeleteDC(static_cast<HDC>(context_));
        context_ = nullptr;
    }
}

bool LICE_SysBitmap::CreateSurface(int allocW, int allocH) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);  // 40
    info.bmiHeader.biWidth = allocW;
    info.bmiHeader.biHeight = -allocH;  // negative: rows run top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(static_cast<HDC>(context_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr) {
            DeleteObject(section);
        }
        return false;
    }
    previousObject_ = SelectObject(static_cast<HDC>(context_), section);
    surface_ = section;
    pixels_ = static_cast<LICE_pixel*>(bits);
    return true;
}

void LICE_SysBitmap::ReleaseSurface() {
    if (surface_ != nullptr) {
        SelectObject(static_cast<HDC>(context_), static_cast<HGDIOBJ>(previousObject_));
        DeleteObject(static_cast<HBITMAP>(surface_));
    }
    surface_ = nullptr;
    previousObject_ = nullptr;
    pixels_ = nullptr;
}
