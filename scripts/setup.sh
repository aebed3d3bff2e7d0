#!/usr/bin/env bash
# Installs every Debian package that building and testing Sorvanel needs.
# Does nothing when all of them are present; fetches nothing but Debian packages.
set -euo pipefail

packages=(
  # toolchain and test frameworks
  build-essential cmake ninja-build clang-format pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  # encoding/: code-page conversion
  libicu-dev
  # web/: HTTP client, TLS, the test CA and a real forward proxy
  libcurl4-openssl-dev libssl-dev openssl tinyproxy
  # regex/
  libpcre2-dev
  # json/: the parser behind our document engine
  nlohmann-json3-dev
  # cli/: the argument parser; groff checks that the manual page renders
  libcli11-dev groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt run (a parallel build set-up) instead of failing on its lock.
apt_opts=(-o DPkg::Lock::Timeout=900)
$sudo apt-get "${apt_opts[@]}" update -qq
$sudo apt-get "${apt_opts[@]}" install -y -qq --no-install-recommends "${missing[@]}"
