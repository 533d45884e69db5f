#!/bin/sh
# Builds zelto and runs every test, in three stages: the client and the stand-in app (the Linux
# client also under valgrind, the Windows client and stand-in under Wine, the packages, the lint);
# everything again with AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz target for
# ZELTO_FUZZ_SECONDS (60 by default). Prints a line as each stage starts and one with its outcome,
# and last the count over all of them; the exit status is 0 only when nothing failed. The detail is
# in build/logs/.
set -u
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1
mkdir -p build/logs
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
passed=0 failed=0 skipped=0

# stage NAME CONFIGURE-ARGUMENTS...: configures, builds and tests the preset NAME. (How long each
# takes is said in the README.)
stage() {
  name=$1
  shift
  log=build/logs/$name.log junit=$PWD/build/logs/$name.xml
  rm -f "$junit"
  echo "$name: building and testing (log: $log)"
  if ! { cmake --preset "$name" "$@" && cmake --build --preset "$name"; } >"$log" 2>&1; then
    echo "$name: the build failed: see $log"
    failed=$((failed + 1))
    return
  fi
  ctest --preset "$name" --output-junit "$junit" >>"$log" 2>&1
  if [ ! -s "$junit" ]; then
    echo "$name: the tests did not run: see $log"
    failed=$((failed + 1))
    return
  fi
  # From the JUnit file, read once: the counts of the tests (the setups that start and stop Wine are
  # not tests), then the stage's line, then what each failing test printed last (a file of cases:
  # each problem at the line it expects).
  summary=$(python3 - "$junit" "$name" <<'EOF'
import sys, xml.etree.ElementTree as tree
tests = [t for t in tree.parse(sys.argv[1]).getroot().iter("testcase") if not t.get("name").startswith("setup:")]
counts = [sum(test.get("status") == status for test in tests) for status in ("run", "fail", "notrun")]
print(*counts)
print("%s: %d passed, %d failed, %d skipped" % (sys.argv[2], *counts))
for test in tests:
    if test.get("status") == "fail":
        print("  " + test.get("name") + " failed:")
        for line in (test.findtext("system-out") or "").splitlines()[-20:]:
            print("    " + line)
EOF
  )
  set -- $(printf '%s\n' "$summary" | head -n 1)
  passed=$((passed + $1)) failed=$((failed + $2)) skipped=$((skipped + $3))
  printf '%s\n' "$summary" | tail -n +2
}

stage default
stage sanitize
stage fuzz -DZELTO_FUZZ_SECONDS="${ZELTO_FUZZ_SECONDS:-60}"

summary="$passed passed, $failed failed"
[ "$skipped" -eq 0 ] || summary="$summary, $skipped skipped"
echo "$summary"
[ "$failed" -eq 0 ]
