#!/usr/bin/env bash
# Runs the test suite of one build folder: unit and fuzz tests directly, window tests under
# Xvfb (scripts/run-gui-tests.sh).
set -euo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}

(cd "$build_dir" && ctest --output-on-failure --timeout 600 -j "$jobs" -LE gui)
bash "$(dirname "$0")/run-gui-tests.sh" "$build_dir" "$jobs"
