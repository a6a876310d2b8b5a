# Cross-compiling for 32-bit Windows with Debian's mingw-w64 compiler, in its
# posix-threads flavour (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KESTROM_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTROM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTROM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTROM_MINGW_TRIPLE}-windres)

# Doubles in SSE2 registers, never the x87 stack's 80-bit intermediates, so
# every operation rounds as it does on 64-bit Linux.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# The compiler's runtime inside each binary: a module or host that imports
# only system libraries.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")

# Libraries and headers come from the mingw sysroot and from the folder the
# set-up script cross-built into (KESTROM_WINDOWS_DEPS), never from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTROM_MINGW_TRIPLE})
# pkg-config looks only there too, so the build machine's own libpng is never
# taken for the cross-built one.
if(DEFINED ENV{KESTROM_WINDOWS_DEPS})
    list(APPEND CMAKE_FIND_ROOT_PATH $ENV{KESTROM_WINDOWS_DEPS})
    set(ENV{PKG_CONFIG_LIBDIR}
        "$ENV{KESTROM_WINDOWS_DEPS}/lib/pkgconfig:/usr/${KESTROM_MINGW_TRIPLE}/lib/pkgconfig")
else()
    set(ENV{PKG_CONFIG_LIBDIR} /usr/${KESTROM_MINGW_TRIPLE}/lib/pkgconfig)
endif()
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs of this build run under Wine (ctest starts them through it;
# tests/win32/run_with_wine.sh gives them a prefix and a display of their own).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
