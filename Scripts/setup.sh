#!/bin/sh
# Installs what the project needs on Debian 12 and configures and builds it into build/, an
# optimised Release build (the one the game is played from and the test command tests).
# Both builds use the same compiler: floating point folded differently by two compilers sends a
# scripted flight elsewhere after a few hundred frames, and the scripts must replay in both.
# Usage: Scripts/setup.sh [extra cmake arguments]
set -eu
cd "$(dirname "$0")/.."

packages="build-essential cmake ninja-build ccache pkg-config clang-14 libclang-rt-14-dev
  libsdl2-dev libgl-dev libgl1-mesa-dri libstb-dev libturbojpeg0-dev libmpg123-dev libgtest-dev libgmock-dev
  libmp3lame-dev espeak-ng libespeak-ng-dev libbenchmark-dev xvfb xauth fonts-dejavu-core"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 "$@"
cmake --build build
