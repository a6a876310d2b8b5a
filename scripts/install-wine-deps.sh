#!/bin/sh
# Installs what the Windows suite runs in (`make test-windows`), from Debian's
# archive, only what is missing: Wine with its 32-bit loader (wine32 needs
# the i386 architecture added to dpkg, then a fresh package list) and Xvfb
# for the display. Without recommended packages: the suite needs neither
# Wine's 3D, sound, printing nor media stacks. Safe to run again.
set -eu

here="$(cd "$(dirname "$0")" && pwd)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "adding the i386 architecture to dpkg (for wine32)"
    $SUDO dpkg --add-architecture i386
    $SUDO apt-get update -qq
fi

exec sh "$here/install-packages.sh" --no-install-recommends -- wine wine32:i386 xvfb
