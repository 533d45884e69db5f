#!/bin/sh
# Installs the Debian packages that zelto needs, when some are missing: for building it (`demo`),
# for the Windows program and its zip (`windows`), for the benchmarks (`bench`), or for building
# and running every test (`all`, the default). Uses sudo when not run as root. Waits while another
# apt-get holds the package lock, as a new machine's automatic updates do at boot.
set -eu

packages="cmake ninja-build g++"
case "${1:-all}" in
  all) packages="$packages python3 nlohmann-json3-dev valgrind g++-mingw-w64-x86-64 wine64 clang
                 libclang-rt-14-dev groff-base" ;;
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

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
# sudo drops DEBIAN_FRONTEND from the environment: it goes on the command line.
apt="$sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600"
echo "Installing:$missing"

# apt-get update does not wait for the lock of the package lists (install waits for its own, as
# DPkg::Lock::Timeout asks): try again while another apt-get holds it, for up to ten minutes.
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
tries=0
until $apt update 2>"$errors"; do
  tries=$((tries + 1))
  if ! grep -q "Could not get lock" "$errors" || [ "$tries" -ge 120 ]; then
    cat "$errors" >&2
    exit 1
  fi
  [ "$tries" -gt 1 ] || echo "Waiting for another apt-get to release the package lists..."
  sleep 5
done
# shellcheck disable=SC2086 # one word per package
$apt install -y $missing
