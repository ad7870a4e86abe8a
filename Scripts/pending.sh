#!/bin/sh
# Lists the places where the code waits for a subsystem that is not built yet, marked
#     // PENDING(<Subsystem>): <what goes here>
# grouped by subsystem, with a count per subsystem. Fails (exit 1) on a marker that names no known
# subsystem or does not follow the form, so that every placeholder can be found by its name.
# Usage: Scripts/pending.sh [SUBSYSTEM]   (only that subsystem's markers)
set -eu
cd "$(dirname "$0")/.."

subsystems="Skeleton Collision Picking Fences Water Items Splines Player Camera Weapons Enemies Eggs
  Effects Hazards Infobar Sound Strings Twitch Menus Screens"
folders="Source Tarnet Tools Tests Benchmarks"

markers=$(grep -rn --include='*.cpp' --include='*.h' --include='*.c' 'PENDING(' $folders || true)

status=0
malformed=$(printf '%s\n' "$markers" | grep -v '// PENDING([A-Za-z]*): .' | grep . || true)
if [ -n "$malformed" ]; then
  echo "markers not of the form // PENDING(<Subsystem>): <what>:" >&2
  printf '%s\n' "$malformed" >&2
  status=1
fi

for name in $(printf '%s\n' "$markers" | sed -n 's|.*// PENDING(\([A-Za-z]*\)): .*|\1|p' | sort -u); do
  case " $(echo $subsystems) " in
    *" $name "*) ;;
    *) echo "unknown subsystem in a marker: $name" >&2; status=1 ;;
  esac
done

for name in $subsystems; do
  [ $# -gt 0 ] && [ "$1" != "$name" ] && continue
  lines=$(printf '%s\n' "$markers" | grep "// PENDING($name): " || true)
  [ -z "$lines" ] && continue
  echo "$name ($(printf '%s\n' "$lines" | wc -l)):"
  printf '%s\n' "$lines" | sed "s|^\([^:]*:[0-9]*\):.*// PENDING($name): |  \1  |"
done
exit $status
