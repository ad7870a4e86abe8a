#!/bin/sh
# Usage: InstallRunsTheGame.sh BUILD_FOLDER
# Installs the build into a temporary prefix, checks that everything a player and the desktop need
# is there, and starts the installed game from a folder without data: it must find the installed
# data from its own location and play a few frames of level 1. Needs a display.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for path in games/quorvel2 bin/quorvel-data share/applications/quorvel2.desktop \
  share/icons/hicolor/256x256/apps/quorvel2.png share/games/quorvel2/Data/Terrain; do
  if [ ! -e "$prefix/$path" ]; then
    echo "the install lacks $path" >&2
    exit 1
  fi
done

mkdir "$prefix/elsewhere" "$prefix/config"
cd "$prefix/elsewhere"
XDG_CONFIG_HOME="$prefix/config" "$prefix/games/quorvel2" --level level1 --frames 5
"$prefix/bin/quorvel-data" --help >/dev/null
