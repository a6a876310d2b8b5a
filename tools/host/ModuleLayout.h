#pragma once

#include <string>

namespace kestrom::host {

// Where the host finds the plug-in module and its own libraries (the engine
// and extension libraries), relative to the running program as the build
// lays them out. One implementation per platform, each in a file of its own:
// - Linux: build/bin/kestrom, the module build/lib/Kestrom.so, the host's
//   libraries beside the module (build/lib/libDAE.so, libDigiExt.so);
// - Windows: build-windows/bin/kestrom.exe, the module beside it
//   (bin/Kestrom.dpm), the host's libraries in build-windows/lib (DAE.dll,
//   DigiExt.dll), whichever module is loaded.
class ModuleLayout {
public:
    static std::string DefaultModulePath();
    // Where that is, in words, for the tool's help.
    static const char* const kDefaultModuleText;
    // The folder holding the engine and extension libraries for the module
    // at `modulePath`.
    static std::string HostLibraryFolder(const std::string& modulePath);
    // The folder part of a path ("." when it has none).
    static std::string FolderOf(const std::string& path);
};

}  // namespace kestrom::host
