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

# Offline LV2 hosts the tests compare the plug-ins in, without what they
# recommend (sound fonts, players and the like: hundreds of megabytes).
OFFLINE_HOSTS="
ecasound
lv2file
"

sh "$(dirname "$0")/install-packages.sh" $PACKAGES
exec sh "$(dirname "$0")/install-packages.sh" --no-install-recommends -- $OFFLINE_HOSTS
