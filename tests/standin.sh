#!/bin/sh
# standin.sh BUILD FOLDER README: the Linux archive that CPack makes in BUILD, unpacked as a person
# unpacks it (one folder, FOLDER), works: in a terminal of its stand-in app, its client reaches the
# stand-in with every verb, the README's examples among them; what the stand-in does shows in the
# numbers, names and paths it gives back and the files it writes. The examples of its manual page
# print what the page shows them print.
. "$(dirname "$0")/standin-lib.sh"
unpack "$1" TGZ "$2.tar.gz"
standin=$work/$2/bin/zelto-standin manual=$work/$2/share/man/man1/zelto.1
mkdir "$work/files"
sed -n '/^## Trying it by hand/,/^## /p' "$3" | sed -n '/^```sh$/,/^```$/p' | grep '^zelto ' >"$work/examples.sh"
out=$("$standin" --folder "$work/files" -- sh -c '. "$0" && zelto note Plano && zelto browser docs https://c.d &&
  zelto reply de novo && zelto list && ZELTO_TOKEN=errado zelto list 2>&1; true' "$work/examples.sh" 2>/dev/null)
for line in "enviado para 2 terminal(is)." "nenhum chamador recebeu a resposta." "arquivo: $work/files/Plano-2.md" \
  'navegador "docs" navegou para a nova URL.' "  - Plano (2): $work/files/Plano-2.md" "zelto: token inválido"; do
  expect "$line" "$out"
done
created "$work/files" '<h1>Painel</h1><p class="nota">Oi & tchau</p>'

# The manual's examples, run by the `zelto` link: the lines after a command, indented as it is, are
# some of what it prints.
groff -man -Tutf8 -P-cbou "$manual" | sed -n '/^EXAMPLES/,$p' | sed -n 's/^ \{14\}//p' >"$work/manual"
sed -n 's/^\$ //p' "$work/manual" >"$work/manual.sh"
[ -s "$work/manual.sh" ] || fail "no examples in $manual"
out=$("$standin" --client "$work/$2/bin/zelto" -- sh "$work/manual.sh" 2>/dev/null)
grep -v '^\$ ' "$work/manual" | while IFS= read -r line; do expect "$line" "$out"; done

