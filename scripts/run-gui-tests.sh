#!/usr/bin/env bash
# Runs the window tests of one build folder under Xvfb. The tests of one display run one at a
# time, as they share its keyboard and pointer; the tests are dealt out to one display per job,
# and the displays run side by side. Each display starts a moment after the one before, as
# xvfb-run picks a free display number by the servers' lock files. A whole run of the demo takes
# two minutes under the sanitizers on a quiet machine, several times that beside other displays:
# the time limit is there for a test that hangs.
set -euo pipefail
build_dir=${1:-build}
jobs=${2:-$(nproc)}
cd "$build_dir"
if [ -z "$(ctest -N -L gui | grep -E '^ *Test +#')" ]; then
  exit 0
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "run-gui-tests: xvfb-run is missing; window tests were not run" >&2
  exit 1
fi
pids=()
for shard in $(seq 1 "$jobs"); do
  xvfb-run -a ctest --output-on-failure --timeout 1200 -j 1 -L gui -I "$shard,,$jobs" > "gui-tests-$shard.log" 2>&1 &
  pids+=($!)
  sleep 3
done
failed=0
for shard in $(seq 1 "$jobs"); do
  wait "${pids[$((shard - 1))]}" || failed=1
  cat "gui-tests-$shard.log"
done
exit "$failed"
