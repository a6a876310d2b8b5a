#pragma once

#include <string>

// The folders a plug-in may want to know on a POSIX system, answered alike by
// every window layer there (the layers' HostDirectory ... AppDataDirectory).
// Needs no library beyond the C library: the window-less layer of the LV2
// DSP binary answers from here too. Any thread.
class PosixFolders {
public:
    // The folder of the running program, of this binary (module or program),
    // the desktop and the user's application data; each ends in '/' where
    // the system gives a file to take it from, empty when unknown.
    static std::string HostDirectory();
    static std::string ModuleDirectory();
    static std::string DesktopDirectory();
    static std::string AppDataDirectory();

    // Everything after the last '/' cut; empty when there is none or the
    // path ends with it.
    static std::string FolderOf(const std::string& path);
};
