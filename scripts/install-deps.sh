#!/bin/sh
# Installs the Debian packages that zelto needs, when some are missing: for building it (`demo`),
# for the Windows program and its zip (`windows`), for the benchmarks (`bench`), or for building
# and running every test (`all`, the default). As root, or with sudo. Says in one line what it
# installs, keeps apt's output in build/logs/apt.log (shown when it fails), and waits, saying so,
# while another package manager holds the package lock, as a new machine's automatic updates do at
# boot.
set -eu

packages="cmake ninja-build g++" why="to build zelto"
case "${1:-all}" in
  all) why="to build zelto and run its tests"
    packages="$packages python3 nlohmann-json3-dev valgrind g++-mingw-w64-x86-64 wine64 clang
                 libclang-rt-14-dev groff-base clang-format clang-tidy black procps strace
                 lintian" ;;
  windows) packages="$packages g++-mingw-w64-x86-64 groff-base" why="to build zelto for Windows" ;;
  bench) packages="$packages gcc libc6-dev libboost-json1.81-dev g++-mingw-w64-x86-64 wine64" why="to benchmark zelto" ;;
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
mkdir -p "$(dirname "$0")/../build/logs"
log=$(cd "$(dirname "$0")/../build/logs" && pwd)/apt.log
echo "Installing Debian packages $why:$missing (apt's output: build/logs/apt.log)"

# apt_get ARGUMENTS...: apt-get, which fails at once when another package manager holds a lock;
# then it says so and tries again every five seconds, for up to ten minutes.
: >"$log"
apt_get() {
  tries=0
  # sudo drops DEBIAN_FRONTEND from the environment: it goes on the command line.
  until $sudo env DEBIAN_FRONTEND=noninteractive apt-get -qq "$@" >>"$log" 2>&1; do
    tries=$((tries + 1))
    if ! tail -n 5 "$log" | grep -q "Could not get lock" || [ "$tries" -ge 120 ]; then
      cat "$log" >&2
      return 1
    fi
    [ "$tries" -gt 1 ] || echo "Waiting for another package manager to release the package lock..."
    sleep 5
  done
}
apt_get update
# shellcheck disable=SC2086 # one word per package
apt_get install -y $missing
