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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
