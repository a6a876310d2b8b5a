#!/bin/sh
# Installs the Debian packages the build needs, only those that are missing.
# Safe to run again: when everything is present it does nothing.
set -eu

PACKAGES="
build-essential
cmake
pkg-config
libgtest-dev
libgmock-dev
libbenchmark-dev
libpng-dev
zlib1g-dev
libfreetype-dev
libfontconfig-dev
fonts-dejavu-core
libsndfile1-dev
libcli11-dev
lv2-dev
liblilv-dev
lilv-utils
sordi
libx11-dev
xvfb
jackd2
jalv
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
