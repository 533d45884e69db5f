#!/bin/sh
# build.sh PRESET: installs what the preset needs (install-deps.sh PRESET), then configures and
# builds it into build/PRESET, its output in build/logs/PRESET-build.log, shown only on failure.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh "$1"
mkdir -p build/logs
log=build/logs/$1-build.log
echo "Building the $1 preset into build/$1 (log: $log)..."
if ! { cmake --preset "$1" && cmake --build --preset "$1"; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
