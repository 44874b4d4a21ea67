#!/usr/bin/env bash
# Builds the tests of the threaded parts (application, base services, platform layer, the movie
# libraries' decoding) with ThreadSanitizer and runs them: unit tests directly, window tests under
# Xvfb. Only these test programs are built, so only their tests are listed. CMAKE_OPTIONS adds
# options of the build (CI's warnings as errors, say). The third argument does one step only:
# "build" or "test".
set -euo pipefail
build_dir=${1:-build-threads}
jobs=${2:-$(nproc)}
step=${3:-all}
if [ "$step" != test ]; then
  # shellcheck disable=SC2086
  cmake -S . -B "$build_dir" -G Ninja -DKESTRUNE_THREAD_SANITIZE=ON -DKESTRUNE_BENCH=OFF ${CMAKE_OPTIONS:-}
  cmake --build "$build_dir" -j "$jobs" --target kestrune app_unit_tests base_unit_tests platform_unit_tests \
    app_gui_tests platform_gui_tests movie_library_unit_tests
fi
if [ "$step" != build ]; then
  suppressions="$(pwd)/scripts/thread-sanitizer-suppressions.txt"
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$suppressions ${TSAN_OPTIONS:-}"
  (cd "$build_dir" && ctest --output-on-failure --timeout 600 -j "$jobs" -L unit)
  # The window tests that count frames are slow enough under this sanitizer that many displays
  # side by side starve them: two at a time.
  bash scripts/run-gui-tests.sh "$build_dir" "$((jobs < 2 ? jobs : 2))"
fi
