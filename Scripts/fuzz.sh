#!/bin/sh
# An exploratory fuzz run of one target, longer than the test suite's and from a new random seed
# unless one is given:
#   Scripts/fuzz.sh TARGET [SECONDS] [SEED]      e.g. Scripts/fuzz.sh Playfield 1800
# TARGET is the name of a Tests/Fuzz/Fuzz<TARGET>.cpp. The target is built in the sanitizer build
# (build-sanitize/); its corpus grows in build-sanitize/fuzz/TARGET/corpus from run to run, and
# crashing inputs are kept beside it. Once a crash is mended, copy its input into
# Tests/Fuzz/Regressions/TARGET/ under a name that says what it caught, so every test run replays it.
set -eu
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
target=$1 seconds=${2:-600} seed=${3:-0}
[ -f "Tests/Fuzz/Fuzz$target.cpp" ] || { echo "no fuzz target Tests/Fuzz/Fuzz$target.cpp" >&2; exit 2; }

CC=clang-14 CXX=clang++-14 cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQUORVEL_SANITIZE=ON -DQUORVEL_FUZZ=ON >/dev/null
cmake --build build-sanitize -j2 --target "fuzz_$target"

out="build-sanitize/fuzz/$target"
mkdir -p "$out/corpus"
for folder in "Tests/Fuzz/Seeds/$target" "Tests/Fuzz/Regressions/$target"; do
  [ -d "$folder" ] && cp -r "$folder"/. "$out/corpus/"
done

export SDL_VIDEODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/Tests/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
"build-sanitize/Tests/Fuzz/fuzz_$target" -max_total_time="$seconds" -seed="$seed" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" || status=$?
ls "$out"/crash-* "$out"/timeout-* "$out"/leak-* "$out"/oom-* 2>/dev/null || echo "no findings in $out"
exit $status
