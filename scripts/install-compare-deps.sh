#!/bin/sh
# Installs, from Debian's archive, what scripts/compare-compressors.sh needs
# beyond the build's own packages (scripts/install-deps.sh): lilv for the
# comparison's host and the LV2 compressors it compares Kestrom with. Only
# missing packages are installed; safe to run again.
set -eu

PACKAGES="
liblilv-dev
lilv-utils
x42-plugins
zam-plugins
lsp-plugins-lv2
calf-plugins
swh-lv2
"

exec sh "$(dirname "$0")/install-packages.sh" --no-install-recommends -- $PACKAGES
