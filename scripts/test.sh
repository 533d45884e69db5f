#!/bin/sh
# Builds zelto and runs every test.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --workflow --preset default
