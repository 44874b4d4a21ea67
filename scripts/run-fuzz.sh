#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build (make fuzz) for a number of seconds each, a few at a
# time and at low priority, each from a copy of its corpus in the build folder. Prints each
# target's executions and CPU time; fails when a target found a crash (its input is kept in
# <build>/fuzz-runs/<target>/ as crash-*, leak-*, oom-* or timeout-*).
set -euo pipefail
build_dir=$(cd "${1:-build-fuzz}" && pwd)
seconds=${2:-60}
parallel=${3:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

run_target() {
  local name=$1
  local work="$build_dir/fuzz-runs/$name"
  mkdir -p "$work/corpus"
  cp -n "$source_dir/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null || true
  local status=0
  local TIMEFORMAT='%U s user, %S s system'
  { time (cd "$work" && nice -n 10 "$build_dir/$name" -max_total_time="$seconds" -print_final_stats=1 \
      -rss_limit_mb=2048 -artifact_prefix="$work/" corpus > log.txt 2>&1); } 2> "$work/cpu.txt" || status=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" | grep -o '[0-9]*$' || echo "?")
  echo "$name: status $status, $runs executions, CPU $(cat "$work/cpu.txt"), log $work/log.txt"
  return "$status"
}

targets=()
for source in "$source_dir"/fuzz/*_fuzz.cpp; do
  targets+=("$(basename "$source" .cpp)")
done

failed=0
running=0
pids=()
for name in "${targets[@]}"; do
  run_target "$name" &
  pids+=($!)
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
if [ "$failed" -ne 0 ]; then
  echo "run-fuzz: a target found a crash; see its log and the inputs kept beside it" >&2
fi
exit "$failed"
