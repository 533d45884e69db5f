# What the stand-in tests share, read with `.`: a work folder removed when the test ends, and three
# helpers. The tests stop at the first failure (set -e).
set -eu
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
fail() { printf '%s\n' "$*" >&2; exit 1; }
# expect LINE TEXT: TEXT holds LINE as a whole line, carriage returns (of cmd.exe) aside.
expect() { printf '%s\n' "$2" | tr -d '\r' | grep -qxF -- "$1" || fail "missing: $1" "in:" "$2"; }
# unpack BUILD GENERATOR ARCHIVE: CPack makes ARCHIVE in BUILD with GENERATOR; unpacked in $work.
unpack() { (cd "$1" && cpack -G "$2" >/dev/null) && (cd "$work" && cmake -E tar xf "$1/$3"); }
