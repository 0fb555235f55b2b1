#!/usr/bin/env bash
# Runs every libFuzzer target for a given time on a scratch copy of its seed corpus.
# Usage: tools/run_fuzzers.sh SECONDS [BUILD_DIR]   (exit status 1 when any target finds something)
set -u
secs=${1:?usage: run_fuzzers.sh SECONDS [BUILD_DIR]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-fuzz}

if [ ! -f "$build/CMakeCache.txt" ]; then
  mkdir -p "$build"
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF -DTESSARO_WERROR=OFF \
    > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 2; }
fi
if ! cmake --build "$build" --target fuzz -j2 > "$build/fuzz-build.log" 2>&1; then
  tail -n 30 "$build/fuzz-build.log"
  echo "could not build the fuzz targets (is $build a clang build?)"
  exit 2
fi

found=0
ran=0
for exe in "$build"/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  target=$(basename "$exe")
  name=${target#fuzz_}
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/$target.XXXXXX")
  mkdir -p "$scratch/corpus"
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -R "$root/fuzz/corpus/$name"/. "$scratch/corpus"/; fi
  "$exe" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$scratch/" "$scratch/corpus" > "$scratch/log" 2>&1
  rc=$?
  ran=$((ran + 1))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/log" | tail -n 1)
  artifacts=$(find "$scratch" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
    -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) | wc -l)
  if [ "$rc" -ne 0 ] || [ "$artifacts" -gt 0 ]; then
    found=1
    echo "$target: ${execs:-?} executions, FINDING (exit $rc); log and inputs in $scratch"
    grep -m 5 -E 'ERROR|SUMMARY|runtime error' "$scratch/log"
  else
    echo "$target: ${execs:-?} executions, no finding"
    rm -rf "$scratch"
  fi
done
[ "$ran" -gt 0 ] || { echo "no fuzz target found in $build/fuzz"; exit 2; }
exit "$found"
