// The window-less layer's folders: the system's, as every window layer of
// this platform answers them.
#include "graphics/windowless/IGraphicsWindowless.h"

#include "graphics/platform/posix/PosixFolders.h"

void IGraphicsWindowless::HostDirectory(std::string& out) { out = PosixFolders::HostDirectory(); }

void IGraphicsWindowless::ModuleDirectory(std::string& out) { out = PosixFolders::ModuleDirectory(); }

void IGraphicsWindowless::DesktopDirectory(std::string& out) { out = PosixFolders::DesktopDirectory(); }

void IGraphicsWindowless::AppDataDirectory(std::string& out) { out = PosixFolders::AppDataDirectory(); }
