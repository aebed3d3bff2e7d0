#!/usr/bin/env bash
# The test command: installs what is missing, builds the release and the sanitizer
# configurations, and runs every test in both. Exits non-zero on any failure.
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
