#pragma once

#include <string>

// The folders a plug-in may want to know on Windows, answered alike by every
// window layer there: the running program's and this binary's folders from
// GetModuleFileName, the desktop and the user's application data from the
// shell (the desktop, and the per-user local application data). Any thread.
class Win32Folders {
public:
    // Each folder ends in '\' where it comes from a file's path; empty when
    // unknown.
    static std::string HostDirectory();
    static std::string ModuleDirectory();
    static std::string DesktopDirectory();
    static std::string AppDataDirectory();

    // Everything after the last '\' or '/' cut; empty when there is none or
    // the path ends with it.
    static std::string FolderOf(const std::string& path);
};
