#!/bin/sh
# standin.sh WINE-RUN BUILD FOLDER VERSION: the Windows zip that CPack makes in BUILD, unpacked (one
# folder, FOLDER), works under Wine: its stand-in runs its client (the zelto.exe copy) in cmd.exe,
# then removes its temporary folder; and the Command Prompt examples of its README (the ```bat
# block) reach the stand-in, and its client zelto-cli.exe, whole. Beside them is the manual's text,
# and the client carries its version (VERSION) and its manifest as resources, as Explorer's
# Properties and installers read them.
. "$(dirname "$0")/../standin-lib.sh"
unpack "$2" ZIP "$3.zip"
wine=$1 standin=$work/$3/zelto-standin.exe

expect "Você é: Terminal 1" "$("$wine" "$standin" --client "$work/$3/zelto.exe" -- cmd /c "zelto list & zelto note Plano oi" 2>"$work/log")"
folder=$("$wine" winepath -u "$(sed -n 's/^\[app\] listening on .*; files in //p' "$work/log" | tr -d '\r')")
[ -n "$folder" ] && [ ! -e "$folder" ] || fail "its temporary folder is left: $folder"

sed -n '/^```bat$/,/^```$/p' "$work/$3/README.md" | grep '^zelto ' >"$work/examples.bat"
mkdir "$work/files"
long=$(printf '%0300d' 0)  # a title too long for a file name, and a device's name, after the examples
out=$("$wine" "$standin" --folder "$("$wine" winepath -w "$work/files")" -- cmd /c \
  "call $("$wine" winepath -w "$work/examples.bat") & zelto note $long a & zelto note CON b" 2>/dev/null)
for line in "enviado para 2 terminal(is)." "resposta enviada ao chamador." 'nota "Plano" criada no canvas, conectada a voce.' \
  'navegador "docs" aberto no canvas, conectado a voce.'; do
  expect "$line" "$out"
done
created "$work/files" "<h1>Painel</h1><p class='nota'>Oi & tchau</p>"
[ "$(cat "$work/files/$(printf '%0100d' 0).md" "$work/files/CON_.md")" = ab ] || fail "files: $(ls "$work/files")"
grep -q '^EXAMPLES' "$work/$3/zelto.txt" || fail "no manual text in $3/zelto.txt"
resources=$(x86_64-w64-mingw32-objdump -p "$work/$3/zelto-cli.exe" | sed -n '/Resource Directory section/,$p')
for type in 10 18; do  # RT_VERSION, RT_MANIFEST
  printf '%s\n' "$resources" | grep -q "^0[0-9a-f]*   Entry: ID: 0x0000$type," || fail "no resource 0x$type"
done
[ "$(strings -el "$work/$3/zelto-cli.exe" | grep -A1 -x ProductVersion | tail -n 1)" = "$4" ] || fail "not version $4"
