#!/bin/sh
# Sets the project up (Scripts/setup.sh) and starts the game from the build folder, where the
# build has put the Data folder.
set -eu
cd "$(dirname "$0")/.."
Scripts/setup.sh
cd build
exec ./Quorvel2
