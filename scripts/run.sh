#!/usr/bin/env bash
# Runs the window: installs what is missing, builds the release and starts `sorvanel`
# on the display in $DISPLAY. Without a display it says so and exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no display: set DISPLAY to an X display (for example one started with Xvfb)" >&2
  exit 1
fi

bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target sorvanel -j "$(nproc)"
exec ./build/release/app/sorvanel
