#!/bin/sh
# standin-survives.sh STANDIN: the stand-in app, which only this machine reaches, serves on,
# whatever its clients and users do (a title no file system takes, a name Windows takes for a
# device, a file that cannot be written whole, a client that says nothing, a log nobody reads any
# more, no descriptor left to accept with), and however it is asked to end, it passes the request
# on to its command and leaves neither the command nor a folder behind.
. "$(dirname "$0")/standin-lib.sh"
standin=$1
mkdir "$work/files" "$work/tmp"
export TMPDIR="$work/tmp"

# A name cut to what file systems take; a device's name changed; a file too large for the file-size
# limit (8 KiB here) refused, and not left cut short. The client is copied: a script stays small.
printf '#!/bin/sh\nexec "%s" "$@"\n' "$(dirname "$standin")/zelto-cli" >"$work/client"
chmod +x "$work/client"
out=$(ulimit -f 16 && "$standin" --folder "$work/files" --client "$work/client" -- sh -c 'zelto note "$0" a &&
  zelto note CON b && zelto note "Aux " c && zelto note Grande "$1" 2>&1; true' "$(printf '%0300d' 0)" \
  "$(printf '%060000d' 0)" 2>/dev/null)
[ "$(cat "$work/files/$(printf '%0100d' 0).md" "$work/files/CON_.md" "$work/files/Aux _.md")" = abc ] ||
  fail "files: $(ls "$work/files")"
expect "zelto: não foi possível gravar o arquivo $work/files/Grande.md" "$out"
[ ! -e "$work/files/Grande.md" ] || fail "a file cut short is left"

# Started without standard input (its listener takes descriptor 0), it serves, and listens on the
# loopback address alone: no other machine reaches it.
"$standin" -- sh -c 'zelto list >/dev/null &&
  grep -q " 0100007F:$(printf %04X "$ZELTO_PORT") 00000000:0000 0A " /proc/net/tcp' <&- 2>/dev/null ||
  fail "started without standard input, it does not serve, or listens beyond the loopback address"

# A client that connects and says nothing holds up no other.
"$standin" -- python3 -c 'import os, socket, subprocess
silent = socket.create_connection(("127.0.0.1", int(os.environ["ZELTO_PORT"])))
subprocess.run(["zelto", "list"], stdout=subprocess.DEVNULL, timeout=10, check=True)' 2>/dev/null ||
  fail "a silent client holds up the others"

# Out of descriptors, it waits to accept rather than spin (well below 0.2 s of processor time in a
# second), then serves the client that waited. (A thread already waiting to accept holds a descriptor:
# the first client takes it.) The sanitizers' runtime needs descriptors of its own.
[ "${ZELTO_TEST_SANITIZED-}" = ON ] || "$standin" -- sh -c 'set -e
  prlimit --pid $PPID --nofile=0: && zelto list
  ticks=$(cut -d" " -f14,15 /proc/$PPID/stat)
  timeout 10 zelto list & sleep 1
  set -- $ticks $(cut -d" " -f14,15 /proc/$PPID/stat)
  prlimit --pid $PPID --nofile=1024: && wait $! && [ $(($3 + $4 - $1 - $2)) -lt 20 ]' >/dev/null 2>&1 ||
  fail "it spins, or does not serve, when out of descriptors"

# A log nobody reads any more drops its lines; on a terminal it shows the controls of a request.
mkfifo "$work/log"
"$standin" -- sh -c 'until [ -e "$0" ]; do sleep 0.1; done; zelto list' "$work/go" >"$work/out" 2>"$work/log" &
read -r line <"$work/log"
touch "$work/go"
wait $! || fail "it ended with status $? when its log went away"
expect "Você é: Terminal 1" "$(cat "$work/out")"
expect "[app] send from Terminal 1: message to Backend: a^[[2Jb" \
  "$(script -qec "\"$standin\" -- zelto send Backend '$(printf 'a\033[2Jb')'" /dev/null </dev/null)"

# Asked to end, it passes the request on to its command, waits for it, then ends as asked.
for signal in TERM INT HUP; do
  "$standin" -- sh -c 'trap "echo $1 >\"\$0\"; exit" $1 && touch "$0.ready" && for i in $(seq 50); do sleep 0.1; done' \
    "$work/got" $signal 2>/dev/null &
  until [ -e "$work/got.ready" ]; do sleep 0.1; done
  kill -s $signal $!
  status=0 && wait $! 2>/dev/null || status=$?
  [ "$(kill -l $status)" = $signal ] && [ "$(cat "$work/got")" = $signal ] || fail "SIG$signal: status $status"
  rm -f "$work/got" "$work/got.ready"
done
[ -z "$(ls "$work/tmp")" ] || fail "folders left: $(ls "$work/tmp")"
