#!/bin/sh
# Installs the Debian packages named on the command line that are missing,
# with apt-get (through sudo when not root). Extra apt-get options may come
# first, before "--". Does nothing when everything is present.
#   sh scripts/install-packages.sh [APT-OPTIONS... --] PACKAGE...
set -eu

options=""
case " $* " in
*" -- "*)
    while [ "$1" != "--" ]; do options="$options $1"; shift; done
    shift
    ;;
esac

missing=""
for p in "$@"; do
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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $options $missing
