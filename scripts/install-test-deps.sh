#!/bin/sh
# Installs the programs the native test suites run the build in, beyond the
# build's own packages (scripts/install-deps.sh), only those that are
# missing: lilv's tools and sordi (lv2info, lv2apply, the Turtle validator),
# the offline LV2 hosts ecasound and lv2file, jalv with JACK (its dummy back
# end) for the editor in a host, and Xvfb for the X11 tests. All without
# recommended packages: sound fonts, players, qjackctl, firewire and PAM
# settings are not used by any test. Safe to run again.
set -eu

PACKAGES="
lilv-utils
sordi
ecasound
lv2file
jackd2
jalv
xvfb
"

exec sh "$(dirname "$0")/install-packages.sh" --no-install-recommends -- $PACKAGES
