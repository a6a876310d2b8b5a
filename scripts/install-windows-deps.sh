#!/bin/sh
# Set-up for the 32-bit Windows cross build (`make windows`), on top of what
# the native build needs: Debian's mingw-w64 i686 compiler (the posix-threads
# flavour, for std::thread and std::mutex), its zlib, and libpng cross-built
# from Debian's own source package into the build folder given as $1 (never
# into system paths). Safe to run again: it does only what is missing.
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
    libz-mingw-w64-dev dpkg-dev cmake

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

if [ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/lib/pkgconfig/libpng.pc" ]; then
    exit 0
fi

# libpng, as Debian ships its source, fetched with apt-get source into the
# build folder. When no source entry offers it (or only one whose suite lacks
# it, as the security suite may), a deb-src entry for the release suite is
# added once and its version taken.
sources_list=/etc/apt/sources.list.d/kestrom-debian-src.sources
mkdir -p "$deps/src"
cd "$deps/src"
if ! ls -d libpng1.6-*/ >/dev/null 2>&1 && ! apt-get source -qq libpng1.6 >/dev/null 2>&1; then
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
    apt-get source -qq libpng1.6
fi
png_src="$deps/src/$(ls -d libpng1.6-*/ | head -n 1)"

# zlib from Debian's mingw package; libpng static, without its tools and
# tests, built with the project's toolchain file.
cmake -S "$png_src" -B "$deps/libpng-build" \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
    -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON >/dev/null
cmake --build "$deps/libpng-build" -j "${JOBS:-2}" >/dev/null
cmake --install "$deps/libpng-build" >/dev/null
echo "libpng cross-built into $prefix"
