#!/bin/sh
# How long the game takes from its launch to the title splash and to the main menu, with the splash
# and the intro story skipped by scripted presses once each has faded in. Frames count a fixed
# 1/20 s of game time and run as fast as the machine draws them, so the figure is the game's own
# start-up and drawing, not the time a person spends looking.
#
# Usage, from the build folder (it needs Data/ and a display):
#   xvfb-run -a -s "-screen 0 1280x1024x24" ../Benchmarks/StartupTime.sh
set -eu
script=$(mktemp)
trap 'rm -f "$script"' EXIT
printf '20 menu-confirm 1\n22 menu-confirm 0\n50 menu-confirm 1\n52 menu-confirm 0\n' >"$script"

start=$(date +%s%N)
SDL_AUDIODRIVER=dummy ./Quorvel2 --game --script "$script" --step 0.05 --frames 80 2>&1 | while IFS= read -r line; do
  case "$line" in
  *"Title splash shown"* | *"Intro story shown"* | *"Main menu shown"*)
    echo "$((($(date +%s%N) - start) / 1000000)) ms  $line"
    ;;
  esac
done
