#!/bin/sh
# Builds the static client and the benchmarks, then prints the tables: one call against a minimal
# C client, on Linux and on Windows under Wine, and large `list` answers against a Boost.JSON
# client. An optional argument sets the number of rounds for one call (300).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh bench
mkdir -p build/logs
echo "Building the benchmarks into build/bench (log: build/logs/bench-build.log)..."
if ! { cmake --preset bench && cmake --build --preset bench; } >build/logs/bench-build.log 2>&1; then
  cat build/logs/bench-build.log >&2
  exit 1
fi
cd build/bench && bin/zelto-bench "${1:-300}"
