#!/bin/sh
# package.sh BUILD ARCHIVE FILE...: the archive that CPack makes in BUILD (a zip or a tar.gz, as its
# name says) holds the files FILE... and nothing else, and the .sha256 beside it matches it.
set -eu
cd "$1"
archive=$2
shift 2
case $archive in *.zip) generator=ZIP ;; *) generator=TGZ ;; esac
cpack -G $generator >/dev/null
sha256sum -c "$archive.sha256" >/dev/null || { echo "the .sha256 does not match $archive" >&2; exit 1; }
listed=$(cmake -E tar tf "$archive" | grep -v '/$' | sort)
[ "$listed" = "$(printf '%s\n' "$@" | sort)" ] || { printf '%s holds:\n%s\n' "$archive" "$listed" >&2; exit 1; }
