#!/usr/bin/env bash
# Installs every Debian package that building and testing Sorvanel needs.
# Does nothing when all of them are present; fetches nothing but Debian packages.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  build-essential cmake ninja-build clang-format pkg-config
  # scripts/fuzz.sh: clang with libFuzzer and its sanitizer run-times
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # encoding/: code-page conversion
  libicu-dev
  # web/: HTTP client, TLS, the system's trust store (only a recommendation of libcurl,
  # which --no-install-recommends leaves out; without it every HTTPS exchange fails),
  # the test CA and a real forward proxy
  libcurl4-openssl-dev libssl-dev openssl ca-certificates tinyproxy
  # regex/
  libpcre2-dev
  # json/: the parser behind our document engine
  nlohmann-json3-dev
  # cli/: the argument parser; groff checks that the manual page renders
  libcli11-dev groff-base
  # app/: the window on Qt 6 Widgets; its end-to-end tests run it under Xvfb with real
  # drags (xdotool), screenshots (ImageMagick's import) and a font with Chinese glyphs
  qt6-base-dev libxcb1-dev xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core
  fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "setup.sh: missing packages and no sudo; as root run: apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run (a parallel build set-up) instead of failing on its lock.
apt_opts=(-o DPkg::Lock::Timeout=900)
$sudo apt-get "${apt_opts[@]}" update -qq
$sudo apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends "${missing[@]}"
