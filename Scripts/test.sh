#!/bin/sh
# Sets the project up and runs the whole test suite, with warnings as errors in both builds:
#  1. the Release build (build/, the one Scripts/setup.sh makes, reused rather than built a second
#     time): unit tests, window tests under Xvfb, fuzz-input replays;
#  2. the sanitizer build (build-sanitize/, clang with AddressSanitizer and
#     UndefinedBehaviorSanitizer, at -O1 so that the long scripted runs fit): the same tests,
#     plus every fuzz target for 25 s from a fixed seed (Scripts/fuzz.sh runs one target longer).
# Window tests run on Mesa's software OpenGL inside a private Xvfb server started here.
set -eu
cd "$(dirname "$0")/.."
Scripts/setup.sh -DQUORVEL_WERROR=ON

CC=clang-14 CXX=clang++-14 cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQUORVEL_SANITIZE=ON -DQUORVEL_FUZZ=ON -DQUORVEL_WERROR=ON
cmake --build build-sanitize

status=0
# The builds must generate the same levels, or a play script tests two different games.
if ! diff -rq build/Data/Terrain build-sanitize/Data/Terrain; then
  echo "=== the release and sanitizer builds generated different levels ===" >&2
  status=1
fi

export LIBGL_ALWAYS_SOFTWARE=1
export QUORVEL_REQUIRE_DISPLAY=1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# use_tls=0: the leak checker's reader of the C library's thread-local storage table crashes at exit
# now and then on this system; the loader's and audio library's records it then misses are suppressed.
export LSAN_OPTIONS="suppressions=$(pwd)/Tests/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

for dir in build build-sanitize; do
  echo "=== tests in $dir ==="
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$dir" --output-on-failure --timeout 900 -j2 || status=1
done
exit $status
