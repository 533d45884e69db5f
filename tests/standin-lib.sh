# What the stand-in tests share, read with `.`: a work folder removed when the test ends, and four
# helpers. The tests stop at the first failure (set -e).
set -eu
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
fail() { printf '%s\n' "$*" >&2; exit 1; }
# expect LINE TEXT: TEXT holds LINE as a whole line, carriage returns (of cmd.exe) aside.
expect() { printf '%s\n' "$2" | tr -d '\r' | grep -qxF -- "$1" || fail "missing: $1" "in:" "$2"; }
# unpack BUILD GENERATOR ARCHIVE: CPack makes ARCHIVE in BUILD with GENERATOR, and the .sha256
# beside it matches it; unpacked in $work.
unpack() {
  (cd "$1" && cpack -G "$2" >/dev/null && sha256sum -c "$3.sha256" >/dev/null)
  (cd "$work" && cmake -E tar xf "$1/$3")
}
# created FOLDER PAGE: the README's examples wrote their diagram, and their page as PAGE, in FOLDER.
created() {
  [ "$(cat "$1/Fluxo.diagram.json")" = '{"boxes":[{"id":"a","label":"Cliente"}],"arrows":[]}' ] || fail diagram
  [ "$(cat "$1/Painel.html")" = "$2" ] || fail "page: $(cat "$1/Painel.html")"
}
