# What the stand-in tests share, read with `.`: a work folder removed when the test ends, and four
# helpers. The tests stop at the first failure (set -e).
set -eu
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
fail() { printf '%s\n' "$*" >&2; exit 1; }
# expect LINE TEXT: TEXT holds LINE as a whole line, carriage returns (of cmd.exe) aside.
expect() { printf '%s\n' "$2" | tr -d '\r' | grep -qxF -- "$1" || fail "missing: $1" "in:" "$2"; }
# pack BUILD GENERATOR ARCHIVE: CPack makes ARCHIVE in BUILD with GENERATOR, and the .sha256 beside
# it matches it.
pack() { (cd "$1" && cpack -G "$2" >/dev/null && sha256sum -c "$3.sha256" >/dev/null); }
# created FOLDER: the README's examples wrote their diagram and their page in FOLDER.
created() {
  [ "$(cat "$1/Fluxo.diagram.json")" = '{"boxes":[{"id":"a","label":"Cliente"}],"arrows":[]}' ] || fail diagram
  [ "$(cat "$1/Painel.html")" = '<h1>Painel</h1><p class="nota">Oi & tchau</p>' ] || fail "page: $(cat "$1/Painel.html")"
}
