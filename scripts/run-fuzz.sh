#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build (make fuzz), a few at a time and at low priority,
# each from a copy of its corpus in the build folder, until it has used a number of seconds of
# CPU time: on a shared machine the clock on the wall says little about how much was searched.
# Prints each target's executions and CPU time; fails when a target found a crash (its input is
# kept in <build>/fuzz-runs/<target>/ as crash-*, leak-*, oom-* or timeout-*) or did not stop.
set -euo pipefail
build_dir=$(cd "${1:-build-fuzz}" && pwd)
seconds=${2:-60}
parallel=${3:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
ticks=$(getconf CLK_TCK)
# A target is asked to stop with SIGUSR1, which only sets a flag its loop reads. SIGINT would
# stop it inside the signal handler, which allocates: arriving while the sanitizer's allocator
# holds its lock, it deadlocks the process for good.
stop_signal=USR1
# Seconds a target may take to stop once asked; one input running longer is a hang. One input
# slower than the per-input timeout is reported by libFuzzer itself, with the input kept.
stop_grace=60
input_timeout=20
# Options of one target beyond the common ones. libFuzzer starts a target's inputs no longer than
# its longest seed and lengthens them only after many runs without new coverage (-len_control), a
# few bytes at a time: a target as slow as the novel frame's, which finds new coverage often,
# never gets past the length of its seeds that way. Its inputs may be as long as a scenario's code
# block at once.
target_options() {
  case "$1" in
    novel_frame_calls_fuzz) echo "-len_control=0 -max_len=4096" ;;
  esac
}
# The libraries' own allocations that live as long as the process are not the target's leaks.
export LSAN_OPTIONS="suppressions=$source_dir/scripts/leak-sanitizer-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# User and system CPU seconds of a running process.
cpu_seconds() {
  awk -v ticks="$ticks" '{ print int(($14 + $15) / ticks) }' "/proc/$1/stat" 2>/dev/null || echo 0
}

run_target() {
  local name=$1
  local work="$build_dir/fuzz-runs/$name"
  mkdir -p "$work/corpus"
  cp -n "$source_dir/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null || true
  # The wall-clock limit only guards against a target that never gets the processor.
  local options
  read -r -a options <<< "$(target_options "$name")"
  (cd "$work" && exec nice -n 10 "$build_dir/$name" -max_total_time=$((seconds * 30)) -print_final_stats=1 \
     -timeout=$input_timeout -rss_limit_mb=2048 "${options[@]}" -artifact_prefix="$work/" corpus > log.txt 2>&1) &
  local pid=$!
  local used=0
  local asked_at=
  while kill -0 "$pid" 2>/dev/null; do
    if [ -z "$asked_at" ]; then
      used=$(cpu_seconds "$pid")
      if [ "$used" -ge "$seconds" ]; then
        kill -"$stop_signal" "$pid" 2>/dev/null || true
        asked_at=$SECONDS
      fi
    elif [ $((SECONDS - asked_at)) -ge "$stop_grace" ]; then
      kill -KILL "$pid" 2>/dev/null || true
      echo "$name: did not stop within $stop_grace s of being asked; killed" >> "$work/log.txt"
      break
    fi
    sleep 1
  done
  local status=0
  wait "$pid" || status=$?
  local runs
  runs=$(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$work/log.txt" | grep -o '[0-9]*$' || echo "?")
  echo "$name: status $status, $runs executions in ${used} s of CPU time, log $work/log.txt"
  return "$status"
}

targets=()
for source in "$source_dir"/fuzz/*_fuzz.cpp; do
  targets+=("$(basename "$source" .cpp)")
done
if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<< "$FUZZ_TARGETS"
fi

failed=0
running=0
for name in "${targets[@]}"; do
  run_target "$name" &
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
  echo "run-fuzz: a target found a crash or did not stop; see its log and the inputs kept beside it" >&2
fi
exit "$failed"
