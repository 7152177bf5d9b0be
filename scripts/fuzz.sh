#!/usr/bin/env bash
# Builds the GIF fuzzer with clang (libFuzzer, ASan, UBSan) and runs it for the
# given number of seconds (default 60), seeded from the GIFs of the shared corpus.
# The seeds are copied into a temporary folder; nothing is written to the repo.
#   scripts/fuzz.sh [seconds] [extra libFuzzer options...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
corpus=${VISTREL_CORPUS_DIR:-$root/../shared/corpus}
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVISTREL_BUILD_FUZZ=ON -DVISTREL_CORE_ONLY=ON -DBUILD_TESTING=OFF -DVISTREL_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake --build "$build" --target gif_fuzzer -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$corpus/gif" ]; then
    find "$corpus/gif" -type f -name '*.gif' -size -512k -exec cp {} "$work/corpus/" \; 2>/dev/null || true
else
    echo "No corpus at $corpus; starting from an empty corpus."
fi

"$build/fuzz/gif_fuzzer" "$work/corpus" -max_total_time="$seconds" -rss_limit_mb=4096 \
    -timeout=20 -max_len=32768 -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" || status=$?
if compgen -G "$work/artifacts/*" >/dev/null; then
    mkdir -p "$root/build-fuzz/crashes"
    cp "$work/artifacts/"* "$root/build-fuzz/crashes/"
    echo "Crashing inputs copied to build-fuzz/crashes/"
fi
exit ${status:-0}
