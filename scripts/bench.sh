#!/bin/sh
# Builds the static client and the benchmarks, then prints the tables: one call against a minimal
# C client, on Linux and on Windows under Wine, and large `list` answers against a Boost.JSON
# client. An optional argument sets the number of rounds for one call (300).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh bench
cd build/bench && bin/zelto-bench "${1:-300}"
