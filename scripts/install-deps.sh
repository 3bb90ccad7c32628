#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the fuzzers and the
# package check need (the last line: building, validating and linting the .deb).
set -euo pipefail
packages=(build-essential cmake ccache qt6-base-dev qt6-serialport-dev qt6-svg-dev libqt6svg6
          libgl-dev fonts-dejavu-core xvfb xauth clang-14 libclang-rt-14-dev
          dpkg-dev fakeroot file desktop-file-utils appstream lintian qt6-translations-l10n
          ser2net)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
