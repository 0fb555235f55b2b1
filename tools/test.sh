#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal gcc build, and
# a clang build with AddressSanitizer and UndefinedBehaviorSanitizer (which also runs the
# fuzzers briefly); in between it compiles a gcc Debug build, without running its tests.
# GUI tests start their own Xvfb; no desktop is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
jobs=$(nproc)
"$root/tools/test_share.sh"

echo "== gcc build =="
cmake -S "$root" -B "$root/build" -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

echo "== gcc Debug build (compiled only: every build type must build) =="
cmake -S "$root" -B "$root/build-debug" -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-debug" -j"$jobs"

echo "== clang ASan+UBSan build =="
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-asan" -DBUILD_TESTING=ON \
  -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$root/build-asan" && ctest --output-on-failure -j"$jobs")
