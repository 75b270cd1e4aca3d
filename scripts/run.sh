#!/usr/bin/env bash
# Sets up, builds, and opens the window connected to the virtual receiver.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
echo "== Opening Tornavo with the virtual receiver"
exec build/tornavo --virtual-receiver "$@"
