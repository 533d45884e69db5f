#!/bin/sh
# resources.sh EXE VERSION: the program carries its version (VERSION) and its manifest as resources,
# as Explorer's Properties and installers read them.
set -eu
resources=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n '/Resource Directory section/,$p')
for type in 10 18; do  # RT_VERSION, RT_MANIFEST
  printf '%s\n' "$resources" | grep -q "^0[0-9a-f]*   Entry: ID: 0x0000$type," || { echo "no resource 0x$type" >&2; exit 1; }
done
[ "$(strings -el "$1" | grep -A1 -x ProductVersion | tail -n 1)" = "$2" ] || { echo "not version $2" >&2; exit 1; }
