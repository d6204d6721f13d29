#!/usr/bin/env bash
# Builds Chanset and runs every test (ctest: unit, gui, e2e and fuzz smoke runs).
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
