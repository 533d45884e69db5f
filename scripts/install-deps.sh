#!/bin/sh
# Installs the Debian packages that zelto needs, when some are missing: for building it (`demo`),
# for the benchmarks (`bench`), or for building and running every test (`all`, the default).
# Uses sudo when not run as root.
set -eu

packages="cmake ninja-build g++"
case "${1:-all}" in
  all) packages="$packages libgtest-dev nlohmann-json3-dev valgrind g++-mingw-w64-x86-64 wine64 clang libclang-rt-14-dev" ;;
  bench) packages="$packages gcc libc6-dev libboost-json1.81-dev g++-mingw-w64-x86-64 wine64" ;;
esac

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update -qq
# shellcheck disable=SC2086 # one word per package
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
