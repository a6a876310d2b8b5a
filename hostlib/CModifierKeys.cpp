#include "hostlib/CModifierKeys.h"

#ifdef _WIN32
#include <windows.h>

namespace {
bool Held(int key) { return (GetKeyState(key) & 0x8000) != 0; }
}  // namespace

bool CModifierKeys::Command() { return Held(VK_CONTROL); }
bool CModifierKeys::Control() { return Held(VK_LWIN) || Held(VK_RWIN); }
bool CModifierKeys::Option() { return Held(VK_MENU); }
#else
bool CModifierKeys::Command() { return false; }
bool CModifierKeys::Control() { return false; }
bool CModifierKeys::Option() { return false; }
#endif
