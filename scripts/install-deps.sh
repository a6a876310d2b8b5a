#!/bin/sh
# Installs the Debian packages the native build needs, only those that are
# missing: compiler, CMake, the libraries, GoogleTest and Google Benchmark
# (the build builds the tests and benchmarks too), lv2-dev and lilv (the LV2
# bundle and its in-process tests). The hosts the tests drive the build in
# come from scripts/install-test-deps.sh. Safe to run again: when everything
# is present it does nothing.
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
libx11-dev
"

exec sh "$(dirname "$0")/install-packages.sh" $PACKAGES
