// The window-less layer's folders: the system's, as every window layer of
// this platform answers them.
#include "graphics/windowless/IGraphicsWindowless.h"

#include "graphics/platform/win32/Win32Folders.h"

void IGraphicsWindowless::HostDirectory(std::string& out) { out = Win32Folders::HostDirectory(); }

void IGraphicsWindowless::ModuleDirectory(std::string& out) { out = Win32Folders::ModuleDirectory(); }

void IGraphicsWindowless::DesktopDirectory(std::string& out) { out = Win32Folders::DesktopDirectory(); }

void IGraphicsWindowless::AppDataDirectory(std::string& out) { out = Win32Folders::AppDataDirectory(); }
