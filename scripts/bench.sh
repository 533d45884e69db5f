#!/bin/sh
# Builds the static client and the benchmarks, then prints the tables: one call against a minimal
# C client, large `list` answers against a Boost.JSON client, reader throughput against Boost.JSON
# and nlohmann/json. An optional argument sets the number of rounds for one call (300).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench
cd build/bench && bin/zelto-bench "${1:-300}"
