#!/bin/sh
# Builds zelto and runs a short session in a terminal of the stand-in app.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh demo
build/demo/bin/zelto-standin -- /bin/sh tools/demo-session.sh
