#!/bin/sh
# standin.sh WINE-RUN BUILD FOLDER VERSION: the Windows zip that CPack makes in BUILD, unpacked (one
# folder, FOLDER), works under Wine. Its texts are Windows text. Its stand-in runs its client (the
# zelto.exe copy) in cmd.exe, then removes its temporary folder. The Command Prompt examples of its
# README and of its manual reach the stand-in, and its client zelto-cli.exe, whole: the messages,
# the files and what the manual shows them print. Its stand-in listens on the loopback address alone,
# leaves its port to no other program, passes any argument through cmd.exe as it was given, and
# leaves the console's Ctrl+C to its command. Both programs carry their version (VERSION), the
# licence and a manifest as resources, as Explorer's Properties and installers read them.
. "$(dirname "$0")/../standin-lib.sh"
pack "$2" ZIP "$3.zip"
(cd "$work" && cmake -E tar xf "$2/$3.zip")
wine=$1 build=$2 zip=$work/$3 version=$4
for text in README.txt zelto.txt zelto-standin.txt LICENSE.txt; do
  [ "$(head -c 3 "$zip/$text" | od -An -tx1)" = " ef bb bf" ] && ! grep -qv "$(printf '\r')\$" "$zip/$text" ||
    fail "$text is not Windows text"
done

expect "Você é: Terminal 1" "$("$wine" "$zip/zelto-standin.exe" --client "$zip/zelto.exe" -- cmd /c zelto list 2>"$work/log")"
folder=$("$wine" winepath -u "$(sed -n 's/^\[app\] listening on .*; files in //p' "$work/log" | tr -d '\r')")
[ -n "$folder" ] && [ ! -e "$folder" ] || fail "its temporary folder is left: $folder"

# The README's examples, the manual's, a title too long for a file name, a device's name, and names
# taken by a file and by a link of the user's, which are never written through: the next number is.
tr -d '\r' <"$zip/README.txt" | sed -n 's/^    C:\\> //p' >"$work/all.bat"
tr -d '\r' <"$zip/zelto.txt" | sed -n '/^EXAMPLES/,$p' | sed -n 's/^ \{14\}//p' >"$work/manual"
sed -n 's/^C:\\> //p' "$work/manual" >>"$work/all.bat"
printf 'zelto note %s a\nzelto note CON b\nzelto note Tomado c\nzelto note Elo d\n' "$(printf '%0300d' 0)" >>"$work/all.bat"
mkdir "$work/files"
printf meu >"$work/files/Tomado.md"
ln -s "$work/fora.md" "$work/files/Elo.md"
out=$("$wine" "$zip/zelto-standin.exe" --folder "$("$wine" winepath -w "$work/files")" -- \
  "$("$wine" winepath -w "$work/all.bat")" 2>"$work/log")
for line in "enviado para 2 terminal(is)." "resposta enviada ao chamador." 'nota "Plano" criada no canvas, conectada a voce.' \
  'navegador "docs" aberto no canvas, conectado a voce.'; do
  expect "$line" "$out"
done
grep -v '^C:\\> ' "$work/manual" | while IFS= read -r line; do expect "$line" "$out"; done
expect '[app] send from Terminal 1: message to Agente 2: diz "oi & tchau" | veja <b>isto</b> ^ fim' "$(cat "$work/log")"
expect '[app] send from Terminal 1: message to Backend: salve em "C:\temp\" e avise' "$(cat "$work/log")"
[ "$(cat "$work/files/Pasta.md")" = 'C:\pasta com espaco\' ] || fail "the note Pasta: $(cat "$work/files/Pasta.md")"
created "$work/files"
[ "$(cat "$work/files/$(printf '%0100d' 0).md" "$work/files/CON_.md" "$work/files/Tomado.md" "$work/files/Tomado-2.md" \
  "$work/files/Elo-2.md")" = abmeucd ] && [ ! -e "$work/fora.md" ] || fail "files: $(ls "$work/files")"

# Through cmd.exe every argument arrives as it was given, whatever cmd.exe would make of it, and
# nothing of it runs.
set -- 'P&D' 'a|b' '<x>' '(a)' '^' '%PATH%' '%%ZELTO_PORT%%' '50% de 100%' '!PATH!' '"q"' 'a "b" c' '' \
  'C:\pasta com espaco\' 'x\"y' '&type nul>pwned' 'diz "oi & tchau" | veja <b>isto</b> ^ fim'
(cd "$work" && "$wine" "$zip/zelto-standin.exe" -- cmd /c zelto send Backend "$@" 2>"$work/log" >/dev/null)
expect "[app] send from Terminal 1: message to Backend: $*" "$(cat "$work/log")"
[ ! -e "$work/pwned" ] || fail "cmd.exe ran part of an argument"

# It listens on the loopback address alone, and no program its command leaves running keeps its
# port: a new stand-in takes it at once.
port() { sed -n 's/^\[app\] listening on 127\.0\.0\.1:\([0-9]*\);.*/\1/p' "$work/log"; }
mkfifo "$work/in"
"$wine" "$zip/zelto-standin.exe" -- cmd /c set /p x= <"$work/in" >/dev/null 2>"$work/log" &
exec 3>"$work/in"
until [ -n "$(port)" ]; do sleep 0.1; done
python3 -c 'import socket, sys
with socket.socket() as other: sys.exit(other.connect_ex(("127.0.0.2", int(sys.argv[1]))) == 0)' "$(port)" ||
  fail "it listens beyond the loopback address"
exec 3>&-
wait $!
"$wine" "$zip/zelto-standin.exe" -- "$("$wine" winepath -w "$build/bin/zelto-test-leave.exe")" "ping -n 10 127.0.0.1" \
  >/dev/null 2>"$work/log"
"$wine" "$zip/zelto-standin.exe" --port "$(port)" -- cmd /c exit 2>"$work/log" ||
  fail "a program its command left running keeps its port: $(cat "$work/log")"

# The console's Ctrl+C is the command's: the stand-in ends as the command does. (A pseudo-terminal
# gives Wine a console.)
out=$(script -qec "'$wine' '$zip/zelto-standin.exe' -- '$("$wine" winepath -w "$build/bin/zelto-test-ctrl-c.exe")'; echo status=\$?" \
  /dev/null </dev/null | sed "s/$(printf '\033')\[[0-9;?]*[A-Za-z]//g")  # Wine's console's escapes
expect "status=0" "$out"
status=0 && "$wine" "$zip/zelto-standin.exe" --folder "" -- cmd /c exit 2>/dev/null || status=$?
[ $status = 2 ] || fail "--folder '': status $status"

for program in zelto-cli zelto-standin; do
  strings "$zip/$program.exe" | grep -q 'level="asInvoker"' || fail "$program: no manifest"
  strings=$(strings -el "$zip/$program.exe")  # the version resource's texts, in UTF-16
  [ "$(printf '%s\n' "$strings" | grep -A1 -x ProductVersion | tail -n 1)" = "$version" ] || fail "$program: not version $version"
  printf '%s\n' "$strings" | grep -A1 -x LegalCopyright | grep -q 'MIT License' || fail "$program: no licence"
done
