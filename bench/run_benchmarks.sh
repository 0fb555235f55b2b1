#!/usr/bin/env bash
# Builds the core benchmarks in Release, runs them, and writes the figures with the machine
# they came from to docs/benchmarks.md.   Usage: bench/run_benchmarks.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target bench_core -j"$(nproc)" >/dev/null
[ -x "$build/bench/bench_core" ] || { echo "bench_core was not built (is libbenchmark-dev installed?)"; exit 2; }

load=$(cut -d' ' -f1-3 /proc/loadavg)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bench/bench_core" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.5 --benchmark_color=false | tee "$out"

cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[^=]*=//p' "$build/CMakeCache.txt")
{
  echo "# Benchmarks of the core"
  echo
  echo "Figures from \`bench/run_benchmarks.sh\` (Release build, Google Benchmark, median of 5"
  echo "repetitions). Regenerate them with that script; nothing here is asserted by the tests."
  echo
  echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU}; $(uname -sr); compiler $("${compiler:-c++}" --version | head -n 1);"
  echo "run on $(date -u '+%Y-%m-%d %H:%M UTC'); load average before the run: $load (other work on the"
  echo "machine shows as noise, most in the benchmarks that touch the disk)."
  echo
  echo "The mix is the largest one whose \"faders.txt\" still fits the 256 KiB staging buffer: all"
  echo "512 indices active with a time and a cue name, automation entries spread over them, each"
  echo "with a volume, offset, ramp and shape; every effect on for every channel and submix; all"
  echo "127 channels routed to a submix and a VCA group; pan on every slot."
  echo
  echo "| benchmark | what it measures |"
  echo "|---|---|"
  echo "| BM_Recall | \`ParseBufferMulti\` + \`ReadVolumes\` over the staged text of the mix |"
  echo "| BM_RecallFloor | one pass over the same text converting every numeric field with \`strtod\` |"
  echo "| BM_Store | the whole text built in the staging buffer (\`AppendEffectsSection\` + \`AppendCueSection\` on a \`TextSink\`) and one write of it |"
  echo "| BM_StoreFloor | every line of the same text formatted once with \`snprintf\` at a moving end of one buffer, and the same one write |"
  echo "| BM_PageReads | the table reads of one page refresh: 13 strips' volume, offset, ramp, shape and active flag at the page's index, pan, solo, mute and name |"
  echo "| BM_InsertIndex / BM_RemoveIndex | \`InsertIndexTables(0)\` / \`RemoveIndexTables(0)\`: every later index of every table moves |"
  echo "| BM_RecallFaderFile | for reference: reading \"faders.txt\" from disk, then the recall parse |"
  echo "| BM_StoreFaderFile | for reference: the whole \"Store Faders / Effects\" body, including the safe write (temporary file, sync, rename) |"
  echo
  echo "## Summary"
  echo
  echo '```'
  sed -n '/^maximal mix:/p' "$out"
  sed -n '/^summary/,$p' "$out"
  echo '```'
  echo
  echo "## Full output"
  echo
  echo '```'
  grep -v '^summary' "$out" | sed '/^recall \|^store \|^insert \|^remove \|^page /d'
  echo '```'
} > "$root/docs/benchmarks.md"
echo "wrote $root/docs/benchmarks.md"
