#!/usr/bin/env bash
# Runs the test suite of one build folder: unit and fuzz tests directly, window tests under
# Xvfb when it is installed.
set -euo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}
cd "$build_dir"

ctest --output-on-failure --timeout 600 -j "$jobs" -LE gui

if [ -n "$(ctest -N -L gui | grep -E '^ *Test +#')" ]; then
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a ctest --output-on-failure --timeout 300 -j 1 -L gui
  else
    echo "run-tests: xvfb-run is missing; window tests were not run" >&2
    exit 1
  fi
fi
