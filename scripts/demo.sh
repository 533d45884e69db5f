#!/bin/sh
# Builds zelto and runs a short session in a terminal of the stand-in app.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/bin/zelto-standin -- /bin/sh tools/demo-session.sh
