#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a
# normal build, once more with AddressSanitizer and UndefinedBehaviorSanitizer.
# The exit code is the result.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
vistrel_install_deps

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

echo "== Release build and tests"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== Sanitizer build (address, undefined) and tests"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DVISTREL_SANITIZE=ON -DVISTREL_BUILD_BENCH=OFF
cmake --build "$root/build-asan" -j"$jobs"
ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs"
