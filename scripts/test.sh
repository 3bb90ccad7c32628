#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once plainly, once
# under AddressSanitizer + UndefinedBehaviorSanitizer (skip with VARNEL_NO_ASAN=1).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
export QT_QPA_PLATFORM=offscreen

scripts/check-layers.sh
scripts/build.sh build -DVARNEL_BENCH=OFF
(cd build && ctest --output-on-failure -j2)

if [ "${VARNEL_NO_ASAN:-0}" != 1 ]; then
    scripts/build.sh build-asan -DVARNEL_SANITIZE=ON -DVARNEL_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)
fi
