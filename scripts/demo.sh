#!/bin/sh
# Builds zelto and runs a short session in a terminal of the stand-in app.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
mkdir -p build/logs
echo "Building zelto and the stand-in app into build/demo (log: build/logs/demo-build.log)..."
if ! { cmake --preset demo && cmake --build --preset demo; } >build/logs/demo-build.log 2>&1; then
  cat build/logs/demo-build.log >&2
  exit 1
fi
build/demo/bin/zelto-standin -- /bin/sh tools/demo-session.sh
