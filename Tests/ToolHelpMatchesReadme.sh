#!/bin/sh
# Usage: ToolHelpMatchesReadme.sh QUORVEL_DATA README
# The README's list of the data tool's subcommands and the tool's own help, which is printed from
# its command table, must name the same subcommands with the same arguments.
set -eu
tool=$1 readme=$2

help=$("$tool" --help | sed -n 's/^  \([a-z][a-z-]*\) \(.*\)$/\1 \2/p')
listed=$(sed -n 's/^    quorvel-data \([a-z][a-z-]*\) .*/\1/p' "$readme")
status=0

echo "$help" | while read -r name usage; do
  line="    quorvel-data $name $usage"
  if ! grep -qxF "$line" "$readme" && ! grep -qF "$line " "$readme"; then
    echo "README lacks \"quorvel-data $name $usage\" (from the tool's help)" >&2
    exit 1
  fi
done || status=1

for name in $listed; do
  if ! echo "$help" | grep -q "^$name "; then
    echo "README lists \"quorvel-data $name\", which the tool's help does not have" >&2
    status=1
  fi
done
exit $status
