#!/bin/sh
# Installs the Debian packages that building and testing zelto need, when some are missing.
# Uses sudo when not run as root.
set -eu

packages="cmake ninja-build g++ libgtest-dev nlohmann-json3-dev g++-mingw-w64-x86-64 wine64"

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
