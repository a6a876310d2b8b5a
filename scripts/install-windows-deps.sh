#!/bin/sh
# Set-up for the 32-bit Windows cross build (`make windows`), on top of what
# the native build needs: Debian's mingw-w64 i686 compiler (the posix-threads
# flavour, for std::thread and std::mutex), its zlib, libpng (for the module)
# and libsndfile (for kestrom.exe) cross-built from Debian's own source
# packages, and CLI11's headers (header-only) staged beside them, all in the
# build folder given as $1 (never in system paths). Safe to run again: it does
# only what is missing.
#   sh scripts/install-windows-deps.sh BUILD-DIR
set -eu

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/.." && pwd)"
build_dir="${1:?usage: install-windows-deps.sh BUILD-DIR}"
mkdir -p "$build_dir"
build_dir="$(cd "$build_dir" && pwd)"
deps="$build_dir/deps"
prefix="$deps/prefix"

sh "$here/install-packages.sh" --no-install-recommends -- \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    libz-mingw-w64-dev dpkg-dev cmake libcli11-dev

# The compiler's posix flavour, whatever the alternatives say.
for tool in gcc g++; do
    if [ ! -x "/usr/bin/i686-w64-mingw32-$tool-posix" ]; then
        echo "i686-w64-mingw32-$tool-posix is missing" >&2
        exit 1
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

have_png() { [ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/lib/pkgconfig/libpng.pc" ]; }
have_sndfile() { [ -f "$prefix/lib/libsndfile.a" ] && [ -f "$prefix/lib/pkgconfig/sndfile.pc" ]; }
have_cli11() { [ -f "$prefix/include/CLI/CLI.hpp" ]; }
if have_png && have_sndfile && have_cli11; then
    exit 0
fi

# CLI11 is header-only: its headers alone, copied from Debian's package into
# the prefix, so the cross build sees them without the build machine's
# /usr/include (whose other headers are not for Windows).
if ! have_cli11; then
    mkdir -p "$prefix/include"
    rm -rf "$prefix/include/CLI"
    cp -R /usr/include/CLI "$prefix/include/CLI"
fi

# A source package as Debian ships it, fetched with apt-get source into
# $deps/src (its unpacked folder is the first match of $2). When no source
# entry offers it (or only one whose suite lacks it, as the security suite
# may), a deb-src entry for the release suite is added once and its version
# taken.
sources_list=/etc/apt/sources.list.d/kestrom-debian-src.sources
fetch_source() {
    package="$1"
    folder="$2"
    mkdir -p "$deps/src"
    cd "$deps/src"
    if ! ls -d $folder/ >/dev/null 2>&1 && ! apt-get source -qq "$package" >/dev/null 2>&1; then
        if [ ! -f "$sources_list" ]; then
            suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
            echo "adding a Debian source entry for $suite ($sources_list)"
            $SUDO sh -c "cat > $sources_list" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
        fi
        $SUDO apt-get update -qq
        apt-get source -qq "$package"
    fi
    source_folder="$deps/src/$(ls -d $folder/ | head -n 1)"
    cd "$source_dir"
}

# zlib from Debian's mingw package; libpng static, without its tools and
# tests, built with the project's toolchain file.
if ! have_png; then
    fetch_source libpng1.6 'libpng1.6-*'
    cmake -S "$source_folder" -B "$deps/libpng-build" \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
        -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON >/dev/null
    cmake --build "$deps/libpng-build" -j "${JOBS:-2}" >/dev/null
    cmake --install "$deps/libpng-build" >/dev/null
    echo "libpng cross-built into $prefix"
fi

# libsndfile static for kestrom.exe: its own formats only (WAV, AIFF, AU,
# RF64, ...), without the external codec libraries (FLAC, Ogg, Vorbis, Opus,
# MPEG), its programs, examples and tests.
if ! have_sndfile; then
    fetch_source libsndfile 'libsndfile-*'
    cmake -S "$source_folder" -B "$deps/libsndfile-build" \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
        -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
        -DENABLE_CPACK=OFF -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_PKGCONFIG_MODULE=ON \
        -DINSTALL_MANPAGES=OFF >/dev/null
    cmake --build "$deps/libsndfile-build" -j "${JOBS:-2}" >/dev/null
    cmake --install "$deps/libsndfile-build" >/dev/null
    echo "libsndfile cross-built into $prefix"
fi
