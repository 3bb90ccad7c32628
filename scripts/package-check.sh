#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks what it
# installed (program, desktop entry, AppStream data, icons, manual page),
# runs lintian on it and removes it again. Needs root (CI runs as root).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

scripts/package.sh
deb=$(ls build-pkg/varnel_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
# The application id, as the package names its desktop entry.
id=$(dpkg-deb -c "$deb" | sed -n 's|.*/usr/share/applications/\(.*\)\.desktop$|\1|p')
[ -n "$id" ] || { echo "package-check: $deb has no desktop entry" >&2; exit 1; }

echo "== lintian $deb"
lintian --fail-on error "$deb"

echo "== install"
trap '$SUDO apt-get purge -y -qq varnel >/dev/null || true' EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "./$deb" >/dev/null

fail() { echo "package-check: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
varnel=/usr/bin/varnel
[ "$($varnel --version)" = "varnel $version" ] || fail "varnel --version prints '$($varnel --version)', package is $version"
help=$($varnel --help)
[[ $help == *--settings-dir*--user-settings* ]] || fail "varnel --help does not list the options"
status=0; $varnel --no-such-option 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "an unknown option exits with $status, not 2"

desktop=/usr/share/applications/$id.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=varnel --user-settings' "$desktop" || fail "$desktop does not start varnel --user-settings"
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"
[ -f "/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 48 256; do
    kind=$(file "/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [[ $kind == *"PNG image data, $size x $size"* ]] || fail "no ${size} px icon: $kind"
done
man -l /usr/share/man/man1/varnel.1.gz >/dev/null || fail "the manual page does not format"
echo "package-check: $deb installs, runs and validates"
