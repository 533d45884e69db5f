#!/bin/sh
# Builds zelto and runs every test, in three stages: the client and the stand-in app (the Linux
# client also under valgrind, the Windows client under Wine, and the lint of the manual page);
# everything again with AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz target for
# ZELTO_FUZZ_SECONDS (60 by default). Prints one line per stage and, last, the count over all of
# them; the exit status is 0 only when nothing failed. The detail is in build/logs/.
set -u
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
mkdir -p build/logs
passed=0 failed=0 skipped=0

# The number in attribute $1 of the JUnit file $2.
count() { sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\".*/\1/p" "$2" | head -n 1; }

# stage NAME CONFIGURE-ARGUMENTS...: configures, builds and tests the preset NAME.
stage() {
  name=$1
  shift
  log=build/logs/$name.log junit=$PWD/build/logs/$name.xml
  rm -f "$junit"
  printf '%-9s ' "$name"
  if ! { cmake --preset "$name" "$@" && cmake --build --preset "$name"; } >"$log" 2>&1; then
    echo "the build failed: see $log"
    failed=$((failed + 1))
    return
  fi
  ctest --preset "$name" --output-junit "$junit" >>"$log" 2>&1
  if [ ! -s "$junit" ]; then
    echo "the tests did not run: see $log"
    failed=$((failed + 1))
    return
  fi
  tests=$(count tests "$junit") failures=$(count failures "$junit") not_run=$(count skipped "$junit")
  stage_passed=$((tests - failures - not_run))
  passed=$((passed + stage_passed)) failed=$((failed + failures)) skipped=$((skipped + not_run))
  echo "$stage_passed passed, $failures failed, $not_run skipped ($log)"
  [ "$failures" -eq 0 ] || sed -n '/The following tests FAILED:/,$p' "$log" | sed -n '2,$p' | grep -v '^Errors while'
}

stage default
stage sanitize
stage fuzz -DZELTO_FUZZ_SECONDS="${ZELTO_FUZZ_SECONDS:-60}"

summary="$passed passed, $failed failed"
[ "$skipped" -eq 0 ] || summary="$summary, $skipped skipped"
echo "$summary"
[ "$failed" -eq 0 ]
