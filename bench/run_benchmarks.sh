#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them (the GUI path under a private Xvfb), and writes
# the figures with the machine they came from to docs/benchmarks.md.
# Usage: bench/run_benchmarks.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
rounds=${PAIR_ROUNDS:-201}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target bench_core bench_gui bench_peaks -j"$(nproc)" >/dev/null
[ -x "$build/bench/bench_core" ] || { echo "bench_core was not built (is libbenchmark-dev installed?)"; exit 2; }

core=$(mktemp)
gui=$(mktemp)
peaks=$(mktemp)
trap 'rm -f "$core" "$gui" "$peaks"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
"$build/bench/bench_core" --pair_rounds="$rounds" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.5 --benchmark_color=false | tee "$core"
echo
"$root/tools/xvfb-run.sh" "$build/bench/bench_gui" --rounds="$rounds" | tee "$gui"
echo
"$build/bench/bench_peaks" | tee "$peaks"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n 1)
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[^=]*=//p' "$build/CMakeCache.txt")
{
  echo "# Benchmarks"
  echo
  echo "Figures from \`bench/run_benchmarks.sh\` (Release build). Regenerate them with that script;"
  echo "nothing here is asserted by the tests."
  echo
  echo "Machine: $(nproc) CPUs (\`nproc\`), ${cpu:-unknown CPU} (\`lscpu\`); $(uname -sr);"
  echo "compiler $("${compiler:-c++}" --version | head -n 1); run on $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo "The machine was shared with other work while it ran (load average $load_before before,"
  echo "$load_after after), which is why every ratio below comes from CPU time, with each"
  echo "operation and its floor measured in turn within the same rounds, and medians are quoted."
  echo
  echo "The mix is the largest one whose \"faders.txt\" still fits the 256 KiB staging buffer: all"
  echo "512 indices active with a time and a cue name, automation entries spread over them, each"
  echo "with a volume, offset, ramp and shape; every effect on for every channel and submix; all"
  echo "127 channels routed to a submix and a VCA group; pan on every slot."
  echo
  echo "## The core beside its floors"
  echo
  echo "A floor is the least work the same job needs, done with the fastest standard tools:"
  echo
  echo "| operation | what it measures | its floor |"
  echo "|---|---|---|"
  echo "| recall | \`ParseBufferMulti\` + \`ReadVolumes\` over the staged text | one pass over the same text converting every field (between tabs, line feeds and commas) with \`std::from_chars\` |"
  echo "| text building | the mix-name line and both sections built in the staging buffer | the same bytes as literal runs and numbers, every number formatted with \`std::to_chars\` into one buffer |"
  echo "| store command | \`StoreFaderFile\`: read the old file, carry over, build, safe write | the text floor, then a safe write of the same bytes: new file, write, fsync, rename |"
  echo
  echo '```'
  sed -n '/^maximal mix:/p' "$core"
  sed -n '/^pairs:/,$p' "$core"
  echo '```'
  echo
  echo "The lines after the pairs are Google Benchmark medians of 5 repetitions (CPU time): the"
  echo "table reads of one page refresh (13 strips at one bank and index); \`InsertIndexTables(0)\` /"
  echo "\`RemoveIndexTables(0)\`, where every later index of every table moves; the readers over"
  echo "one routing line of 130,000 channels out of range, as Recall All and \`--check\` read it"
  echo "(each problem printed, to /dev/null here, and the line listed once; target under 0.5 s,"
  echo "where copying the line for every problem once took 11 to 14 s); and the undo"
  echo "history: what every event costs when it changed nothing (the tables compared with the"
  echo "history's shadow copy), then recording one edit and undoing it, for a strip capture, an"
  echo "Insert at index 1 and a Recall All onto start-up tables (the edit's size is the"
  echo "\`history_bytes\` column of the full output below)."
  echo
  echo "## The GUI path"
  echo
  echo "\`bench_gui\` builds the windows as start-up does, under a private Xvfb, waits until they"
  echo "are mapped and drawn, and runs the real callbacks: a page change (the time-index spinner's"
  echo "callback, refreshing all 13 strips, then drawn), the Timeline window drawn whole (target:"
  echo "at most 8 ms), and Recall All and Store All picked from the control window's menus (the"
  echo "three files, then the full refresh drawn). Beside them a bare FLTK spinner in a window of"
  echo "its own gets a new value and is drawn, so the toolkit's share shows. Last, the full"
  echo "Timeline is zoomed in by the wheel, and at each zoom drawn whole (target: at most 8 ms), and"
  echo "given one zoom step and one scroll step of the wheel, each drawn (target: within one 60 Hz"
  echo "frame, 16.7 ms)."
  echo
  echo '```'
  cat "$gui"
  echo '```'
  echo
  echo "Store All's wall time beyond its CPU time is waiting on the disk: each of the three files"
  echo "is synced before it is renamed into place."
  echo
  echo "## Peaks of the Timeline's lanes"
  echo
  echo "\`bench_peaks\` writes 10 mono files of 5 minutes (48 kHz, 24-bit WAV) to a temporary"
  echo "directory and reads them once into the page cache. Building their peaks (\`ReadPeaks\`"
  echo "without a cache: libsndfile's reading plus the reduction into all levels) is set beside"
  echo "its floor, libsndfile reading the same frames in the same blocks into a buffer and doing"
  echo "nothing with them. Then the peaks are cached and all ten files reopened from the cache"
  echo "(opening each audio file, checking its version, reading and checking the cache file). The"
  echo "cancel figure is the time from \`CancelPeakWork\`, a fifth of the way into a file, to the"
  echo "worker being idle; the memory figure is computed from the levels for 127 channels of"
  echo "10 minutes at 48 kHz. ffmpeg's \`showwavespic\` on the same files is timed only where"
  echo "ffmpeg is installed; it is never a dependency."
  echo
  echo '```'
  cat "$peaks"
  echo '```'
  echo
  echo "## Full output of the core benchmarks"
  echo
  echo '```'
  sed '/^summary/,$d' "$core"
  echo '```'
} > "$root/docs/benchmarks.md"
echo "wrote $root/docs/benchmarks.md"
