#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Tornavo, then configures
# and builds. Safe to run again: installed packages are skipped, the build is incremental.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins fonts-dejavu-core
  libjpeg62-turbo-dev zlib1g-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-translations-l10n xvfb xauth x11-utils imagemagick xdotool
  help2man python3 desktop-file-utils dpkg-dev file
  clang-14 libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "== Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "== All packages present"
fi

build_dir="${1:-build}"
shift || true
echo "== Configuring $build_dir"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
echo "== Building $build_dir"
cmake --build "$build_dir" -- -k 0
