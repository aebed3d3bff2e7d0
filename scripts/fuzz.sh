#!/usr/bin/env bash
# Fuzzes the targets of fuzz/ with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#
#   bash scripts/fuzz.sh [SECONDS [TARGET...]]
#
# Builds the targets with clang in build/fuzz, then runs each named target (all of them
# when none is named) for SECONDS (default 60), one after the other, at the lowest CPU
# priority. Each starts from its seed corpus in fuzz/corpus/<target>/ and keeps what it
# finds in build/fuzz/corpus/<target>/; a faulting input is written to
# build/fuzz/artifacts/<target>/. Exits non-zero when any target finds a fault: a crash,
# a sanitizer report, a broken property, a case running over 1 s or memory over 512 MB.
# FUZZ_JOBS=N runs N targets at a time; FUZZ_TIMEOUT=S sets the per-case limit (1 s): on
# a machine whose cores are busy with other work, a lowest-priority case can be
# starved past 1 s of wall time. fuzz/<target>.dict, where present, is the dictionary.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all=(encoding_fuzz json_fuzz regex_fuzz web_text_fuzz client_fuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
jobs=${FUZZ_JOBS:-1}

bash scripts/setup.sh

# A smaller quarantine keeps the sanitizer's own memory from counting against the limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSORVANEL_FUZZ=ON -DSORVANEL_BUILD_TESTS=OFF -DSORVANEL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

run_target() {
  local target=$1
  local corpus=$build/corpus/$target artifacts=$build/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  local dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  echo "== $target: $seconds s"
  # The work corpus comes first, so new inputs go there and the seeds stay as they are.
  if nice -n 19 "$build/fuzz/$target" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-1}" -rss_limit_mb=512 \
    -malloc_limit_mb=512 -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" \
    "$corpus" "fuzz/corpus/$target" >"$build/$target.log" 2>&1; then
    echo "== $target: no fault; $(grep -E '^#[0-9]+.*DONE' "$build/$target.log" | tail -1)"
  else
    echo "== $target: FAULT (log $build/$target.log, input in $artifacts/)"
    grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$build/$target.log" | head -5
    return 1
  fi
}

failed=0
running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
