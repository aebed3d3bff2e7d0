#!/usr/bin/env bash
# The test command: installs what is missing, builds the release and the sanitizer
# configurations, and runs every test in both (the fuzz corpora replayed among them),
# then the tests labelled "threads" under ThreadSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
configure_and_test() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DSORVANEL_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300
}

configure_and_test build/release -DCMAKE_BUILD_TYPE=Release
configure_and_test build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANEL_SANITIZE=ON \
  -DSORVANEL_BUILD_BENCHMARKS=OFF

# ThreadSanitizer: only the tests that run several threads, so only their programs are
# built. Third-party libraries are not instrumented; what they do between threads that
# TSan cannot see is listed, with the reason, in tests/tsan.supp.
cmake -S . -B build/tsan -G Ninja -DSORVANEL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSORVANEL_SANITIZE=thread -DSORVANEL_BUILD_BENCHMARKS=OFF
cmake --build build/tsan -j "$jobs" --target threads_tests
# TSan needs its fixed memory layout; without address randomisation it always gets it.
no_aslr=()
setarch "$(uname -m)" -R true 2>/dev/null && no_aslr=(setarch "$(uname -m)" -R)
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  "${no_aslr[@]}" ctest --test-dir build/tsan -L threads --no-tests=error --output-on-failure \
  -j "$jobs" --timeout 300
