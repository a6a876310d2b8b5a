#pragma once

// Where the Windows suite finds what it loads. The build gives each file as a
// path relative to the folder of win32_tests.exe (KESTROM_WIN32_MODULE,
// KESTROM_WIN32_ENGINE, KESTROM_WIN32_ENGINE_NOREGISTRAR,
// KESTROM_WIN32_EXTENSION, in tests/win32/CMakeLists.txt); these turn them
// into full Windows paths from where the program itself is, so the suite runs
// from any current folder, in any Wine prefix (or on Windows itself).
//
//   KESTROM_WIN32_MODULE              bin/Kestrom.dpm, the module
//   KESTROM_WIN32_ENGINE              lib/DAE.dll, the engine with its open/close registrar
//   KESTROM_WIN32_ENGINE_NOREGISTRAR  lib/noregistrar/DAE.dll, the engine without it
//   KESTROM_WIN32_EXTENSION           lib/DigiExt.dll, the extension library
//
// The native build folder, for tests that compare with Linux, comes from the
// environment: KESTROM_NATIVE_BUILD (a Unix path; Wine's drive Z: is /).

#include <windows.h>

#include <cstdlib>
#include <string>

namespace win32test {

// The folder win32_tests.exe is in, without a trailing separator.
inline std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return ".";
    std::string folder(path, n);
    const std::string::size_type cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : folder.substr(0, cut);
}

// A path relative to that folder ('/' or '\\' separated) as a full Windows path.
inline std::string BuildFile(const char* relative) {
    std::string joined = TestProgramFolder() + "\\" + relative;
    for (char& c : joined)
        if (c == '/') c = '\\';
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(joined.c_str(), sizeof full, full, nullptr);
    return n == 0 || n >= sizeof full ? joined : std::string(full, n);
}

inline std::string ModulePath() { return BuildFile(KESTROM_WIN32_MODULE); }
inline std::string EnginePath() { return BuildFile(KESTROM_WIN32_ENGINE); }
inline std::string EngineWithoutRegistrarPath() { return BuildFile(KESTROM_WIN32_ENGINE_NOREGISTRAR); }
inline std::string ExtensionPath() { return BuildFile(KESTROM_WIN32_EXTENSION); }

// The native build folder as the environment names it, or "" when unset.
inline std::string NativeBuildFolder() {
    const char* folder = std::getenv("KESTROM_NATIVE_BUILD");
    return folder != nullptr ? folder : "";
}

}  // namespace win32test
