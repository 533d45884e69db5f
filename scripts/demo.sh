#!/bin/sh
# Builds zelto and runs a short session in a terminal of the stand-in app.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
cmake --preset demo >/dev/null
cmake --build --preset demo
build/demo/bin/zelto-standin -- /bin/sh tools/demo-session.sh
