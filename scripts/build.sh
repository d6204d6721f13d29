#!/usr/bin/env bash
# Installs the packages Chanset needs, then configures build/ and builds the
# targets named (all of them when none is named; `programs` is the three
# programs and their files).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
