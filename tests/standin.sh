#!/bin/sh
# standin.sh BUILD FOLDER README STATIC: the Linux archives that CPack makes in BUILD work as their
# users install them. The tar.gz (one folder, FOLDER), unpacked by the README's command into a home
# without ~/.local and into one whose ~/.local/share is private, leaves that folder as it was, and
# holds the licence and programs that are static when STATIC is ON; the examples of its manual
# print what the page shows them print. The .deb has no error nor warning by lintian (Debian's own
# check of a package), and installs (in a root of its own, without the libraries that a dynamic
# build depends on) and runs: outside the app its zelto refuses, and in a terminal of its stand-in
# it reaches the stand-in with every verb, the README's examples among them, as the numbers, names,
# paths and files the stand-in gives back show.
. "$(dirname "$0")/standin-lib.sh"
pack "$1" TGZ "$2.tar.gz"
install=$(sed -n '/^## Installing/,/^## /p' "$3" | grep '^mkdir -p ~/.local && tar ')
mkdir -p "$work/files" "$work/private/.local/share" && chmod 700 "$work/private/.local/share"
for home in "$work/private" "$work/new"; do
  HOME=$home archive="$1/$2.tar.gz" sh -ec "$install" && [ -x "$home/.local/bin/zelto" ] || fail "install into $home"
done
[ "$(stat -c %a "$work/private/.local/share")" = 700 ] || fail "the install changed ~/.local/share"
local=$work/new/.local
for program in zelto-cli zelto-standin; do
  [ "$4" != ON ] || ! readelf -d "$local/bin/$program" | grep -q NEEDED || fail "$program is not static"
done
grep -q '^MIT License' "$local/share/doc/zelto/copyright" || fail "no licence"

# The manual's examples, run by the `zelto` link: the lines after a command, indented as it is, are
# some of what it prints.
zcat "$local/share/man/man1/zelto.1.gz" | groff -man -Tutf8 -P-cbou | sed -n '/^EXAMPLES/,$p' | sed -n 's/^ \{14\}//p' >"$work/manual"
sed -n 's/^\$ //p' "$work/manual" >"$work/manual.sh"
[ -s "$work/manual.sh" ] || fail "no examples in the manual"
out=$("$local/bin/zelto-standin" --client "$local/bin/zelto" -- sh "$work/manual.sh" 2>/dev/null)
grep -v '^\$ ' "$work/manual" | while IFS= read -r line; do expect "$line" "$out"; done

deb=$(cd "$1" && cpack -G DEB >/dev/null && ls zelto_*.deb)
lintian --fail-on error,warning "$1/$deb" 2>/dev/null || fail "lintian: $(lintian "$1/$deb" 2>&1)"
mkdir -p "$work/root/var/lib/dpkg/info" "$work/root/var/lib/dpkg/updates" && : >"$work/root/var/lib/dpkg/status"
dpkg --root="$work/root" --force-not-root --force-depends --log=/dev/null -i "$1/$deb" >/dev/null
status=0 && out=$(env -u ZELTO_NODE_ID "$work/root/usr/bin/zelto" list 2>&1) || status=$?
[ $status = 1 ] || fail "outside the app: status $status"
expect "zelto: este comando só funciona dentro de um terminal do Zelto." "$out"

sed -n '/^## Trying it by hand/,/^## /p' "$3" | sed -n '/^```sh$/,/^```$/p' | grep '^zelto ' >"$work/examples.sh"
out=$("$work/root/usr/bin/zelto-standin" --folder "$work/files" -- sh -ec '. "$0"; zelto note Plano
  zelto browser docs https://c.d; zelto reply de novo; zelto list; ZELTO_TOKEN=errado zelto list 2>&1 || true' \
  "$work/examples.sh" 2>/dev/null)
for line in "enviado para 2 terminal(is)." "nenhum chamador recebeu a resposta." "arquivo: $work/files/Plano-2.md" \
  'navegador "docs" navegou para a nova URL.' "  - Plano (2): $work/files/Plano-2.md" "zelto: token inválido"; do
  expect "$line" "$out"
done
created "$work/files"
