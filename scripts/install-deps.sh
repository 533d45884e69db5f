#!/bin/sh
# Installs the Debian packages that zelto needs, when some are missing: for building it (`demo`),
# for the Windows program and its zip (`windows`), for the benchmarks (`bench`), or for building
# and running every test (`all`, the default). As root, or with sudo. Says so, and waits, while
# another package manager holds the package lock, as a new machine's automatic updates do at boot.
set -eu

packages="cmake ninja-build g++"
case "${1:-all}" in
  all) packages="$packages python3 nlohmann-json3-dev valgrind g++-mingw-w64-x86-64 wine64 clang
                 libclang-rt-14-dev groff-base clang-format clang-tidy black procps strace
                 lintian" ;;
  windows) packages="$packages g++-mingw-w64-x86-64 groff-base" ;;
  bench) packages="$packages gcc libc6-dev libboost-json1.81-dev g++-mingw-w64-x86-64 wine64" ;;
  demo) ;;
  *) echo "usage: $0 [all|demo|windows|bench]" >&2; exit 2 ;;
esac

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null || ! sudo -v 2>/dev/null; then
    echo "Missing Debian packages:$missing. Run as root: apt-get update && apt-get install -y$missing" >&2
    exit 1
  fi
  sudo="sudo"
fi
echo "Installing:$missing"

# apt_get ARGUMENTS...: apt-get, which fails at once when another package manager holds a lock;
# then it says so and tries again every five seconds, for up to ten minutes.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
apt_get() {
  tries=0
  # sudo drops DEBIAN_FRONTEND from the environment: it goes on the command line.
  until $sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq "$@" 2>"$errors"; do
    tries=$((tries + 1))
    if ! grep -q "Could not get lock" "$errors" || [ "$tries" -ge 120 ]; then
      cat "$errors" >&2
      return 1
    fi
    [ "$tries" -gt 1 ] || echo "Waiting for another package manager to release the package lock..."
    sleep 5
  done
}
apt_get update
# shellcheck disable=SC2086 # one word per package
apt_get install -y $missing
