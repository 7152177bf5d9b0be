#!/usr/bin/env bash
# Installs what is missing, builds Vistrel and starts it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/deps.sh"
vistrel_install_deps

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target vistrel -j"$(nproc)"
exec "$build/src/app/vistrel" "$@"
