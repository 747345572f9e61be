#!/usr/bin/env bash
# Builds everything and runs every test: once under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the concurrency tests under ThreadSanitizer.
# Installs the project's Debian packages first, so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}

# Tests that need a display server start their own; make sure no stray one leaks in.
unset DISPLAY

echo "== build with address and undefined-behaviour sanitizers"
cmake -S . -B build/asan -G Ninja -DTEVORIN_SANITIZE="address;undefined" -DTEVORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"

echo "== build with thread sanitizer"
cmake -S . -B build/tsan -G Ninja -DTEVORIN_SANITIZE=thread -DTEVORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/tsan -j"$jobs" --target concurrency_tests

echo "== concurrency tests under thread sanitizer"
(cd build/tsan && ctest -L concurrency --output-on-failure -j"$jobs" --no-tests=ignore)

echo "== all tests under address and undefined-behaviour sanitizers"
(cd build/asan && ctest --output-on-failure -j"$jobs")
