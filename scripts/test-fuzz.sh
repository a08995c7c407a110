#!/usr/bin/env bash
# The fuzzing stage of the test command: builds the libFuzzer targets with clang in build-fuzz (the
# SDK and our libraries instrumented too) and runs each for FUZZ_SECONDS (default 60) on a fresh
# working corpus grown from the seeds the build wrote. JOBS targets (2) run at a time, one process each.
# A crash, a sanitizer report or a broken invariant fails the run; its input is kept in
# build-fuzz/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}
seconds=${FUZZ_SECONDS:-60}

bash scripts/install-deps.sh

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIRO_FUZZ=ON
cmake --build build-fuzz -j"$jobs" --target taviro_fuzz

fuzz=build-fuzz/fuzz
rm -rf "$fuzz/corpus" "$fuzz/findings" "$fuzz/logs"
mkdir -p "$fuzz/findings" "$fuzz/logs"
export LSAN_OPTIONS="suppressions=$PWD/cmake/fontconfig-leaks.supp"
export UBSAN_OPTIONS="print_stacktrace=1"

# Each target with its seed folder; `jobs` of them run at a time.
targets=(
  "state_stream state"
  "component_state state"
  "wave_reader wave"
  "midi_file midi"
  "ui_description uidesc"
)

run() {
  local name=$1 seeds=$2
  mkdir -p "$fuzz/corpus/$name"
  "$fuzz/fuzz_$name" "$fuzz/corpus/$name" "$fuzz/seeds/$seeds" -max_total_time="$seconds" -timeout=30 \
    -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$fuzz/findings/$name-" \
    >"$fuzz/logs/$name.log" 2>&1
}

failed=0
report() {
  local name=$1 status=$2
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz/logs/$name.log" | tail -1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$name: ${runs:-?} inputs in ${seconds} s, no finding"
  else
    failed=1
    echo "fuzz_$name: FINDING after ${runs:-?} inputs (exit $status); log: $fuzz/logs/$name.log"
    grep -E "invariant broken|ERROR:|runtime error|SUMMARY|^ +#[0-9] " "$fuzz/logs/$name.log" | head -16 | sed 's/^/  /'
    ls "$fuzz/findings/$name-"* 2>/dev/null | sed 's/^/  input: /'
  fi
}

for ((i = 0; i < ${#targets[@]}; i += jobs)); do
  pids=()
  names=()
  for pair in "${targets[@]:i:jobs}"; do
    read -r name seeds <<<"$pair"
    run "$name" "$seeds" &
    pids+=($!)
    names+=("$name")
  done
  for k in "${!pids[@]}"; do
    status=0
    wait "${pids[$k]}" || status=$?
    report "${names[$k]}" "$status"
  done
done

exit "$failed"
