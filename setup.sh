#!/bin/sh
# Installs what the build and the tests need, then configures and builds into build/.
# Safe to run twice.
set -eu
cd "$(dirname "$0")"

packages="cmake g++ make libeigen3-dev libtinyxml2-dev libgtest-dev"
missing=""
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
  $SUDO apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y $packages
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
