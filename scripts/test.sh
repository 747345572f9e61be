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

# No test sees a display by accident; the X11 tests get the server below
# through TEVORIN_TEST_X_DISPLAY and set DISPLAY for themselves.
unset DISPLAY

# One Xvfb for the X11 tests, on a free display number, ended on exit.
xvfb_pid=
stop_xvfb() { if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi; }
trap stop_xvfb EXIT
if command -v Xvfb >/dev/null; then
  xvfb_fifo=$(mktemp -u)
  mkfifo "$xvfb_fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  if read -r -t 15 xvfb_number <"$xvfb_fifo" && [ -n "$xvfb_number" ]; then
    export TEVORIN_TEST_X_DISPLAY=":$xvfb_number"
    echo "== Xvfb on $TEVORIN_TEST_X_DISPLAY"
  else
    echo "== Xvfb did not start; the X11 tests start their own" >&2
  fi
  rm -f "$xvfb_fifo"
fi

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
