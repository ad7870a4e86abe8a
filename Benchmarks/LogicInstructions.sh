#!/bin/sh
# The game's logic counted in instructions, which stay the same on a busy machine where times do
# not: callgrind counts everything run inside MoveLevelFrame (input, objects, cameras, the terrain
# window; not the drawing, not OpenGL, not the mixer) over the first frames of the time demo, and
# this prints the count per frame and the routines that take the most.
#
# Usage, from the build folder (it needs Data/ and a display; about five minutes):
#   xvfb-run -a -s "-screen 0 320x240x24" ../Benchmarks/LogicInstructions.sh [FRAMES]
# A small screen makes a small window, so the software renderer under valgrind costs little; the
# logic does not depend on the window's size.
set -eu
frames=${1:-100}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# GLIBC_TUNABLES set: the game would otherwise start itself again with its large-page settings,
# outside valgrind (valgrind replaces the allocator anyway).
GLIBC_TUNABLES=glibc.malloc.hugetlb=1 SDL_AUDIODRIVER=dummy valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.out" \
  --toggle-collect='MoveLevelFrame()' ./Quorvel2 --timedemo --frames "$frames" >"$out/run.log" 2>&1

total=$(sed -n 's/^summary: *//p' "$out/callgrind.out")
played=$(sed -n 's/^  frames *//p' "$out/run.log")
objects=$(sed -n 's/^  peak objects *//p' "$out/run.log")
echo "frames $played, peak objects $objects"
echo "logic instructions: $total in all, $((total / played)) a frame"
echo "the routines that take the most (inclusive):"
callgrind_annotate --inclusive=yes "$out/callgrind.out" 2>/dev/null | grep -v ")'[0-9]" |
  sed -n 's/^ *\([0-9,]*\) (\([ 0-9.]*%\)) *[^:]*:\([A-Za-z_][A-Za-z0-9_]*\)(.*/  \2  \3/p' |
  grep -v -e "main$" -e "RunGameShell" -e "RunProgram" -e "RunLevelLoop" -e "PlayLevelFrame" | head -15
