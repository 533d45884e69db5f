#!/bin/sh
# Builds zelto and runs every test: the client and the stand-in app (the Linux client also under
# valgrind, the Windows client under Wine), then everything again with AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for ZELTO_FUZZ_SECONDS (60 by default).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --workflow --preset default
cmake --workflow --preset sanitize
cmake --preset fuzz -DZELTO_FUZZ_SECONDS="${ZELTO_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
