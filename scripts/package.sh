#!/usr/bin/env bash
# Builds the Debian package build-pkg/varnel_<version>_amd64.deb from a
# Release build with Debian's hardening flags; tests and benchmarks are not built.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-pkg
export CCACHE_BASEDIR=$PWD
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVARNEL_BENCH=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j"$(nproc)" --target varnel varnel_dist varnel_changelog
rm -f "$dir"/varnel_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/varnel_*.deb
