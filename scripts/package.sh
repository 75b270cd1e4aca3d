#!/usr/bin/env bash
# Builds the Debian package (build/package/tornavo_<version>_amd64.deb) and checks it
# unpacked: its files, its desktop entry, and that its program runs. The test suite makes
# the same check. Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
scripts/setup.sh "$build_dir"
echo "== Packaging"
(cd "$build_dir" && cpack -G DEB -B "$PWD/package" >/dev/null)
deb=$(ls "$build_dir"/package/tornavo_*_*.deb)
echo "$deb"
scripts/check_package.sh "$deb"
