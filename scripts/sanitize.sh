#!/usr/bin/env bash
# Builds Chanset a second time in build-asan/ with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test there (unit, gui, e2e and
# fuzz smoke runs). Any sanitizer report fails the test that triggered it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# -O1 keeps the instrumented tests quick; the build type keeps asserts on.
# -g1 keeps the line tables that the sanitizers' reports name, without the
# full debugging information that would make this build a quarter slower.
# The benchmarks are timed in the normal build only: nothing runs them here.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
  -DCHANSET_SANITIZE=ON -DCHANSET_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)"
# No strict_string_checks: with it the strndup interceptor reads a whole
# NUL-terminated string, and the X keyboard library hands strndup atom names
# that are not terminated, which is a false report on every X11 start.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-asan
ctest --output-on-failure -j"$(nproc)" "$@"
