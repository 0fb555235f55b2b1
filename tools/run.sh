#!/usr/bin/env bash
# Installs what is missing, builds the editor, and opens a mix directory in it (recalled at
# start-up when it holds a mix). Usage: tools/run.sh [MIX_DIRECTORY]   (default: a fresh
# scratch copy of the demo mix)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh"
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target tessaro brennic
if [ $# -ge 1 ]; then
  mixdir=$1
else
  mixdir=$(mktemp -d /tmp/tessaro-mix-XXXXXX)
  [ -d "$root/examples/demo" ] && cp "$root/examples/demo/"* "$mixdir/"
  # Generated audio beside it, for the Timeline's lanes (its wave-file directory is empty).
  "$root/tools/make_demo_audio.sh" "$mixdir" >/dev/null
  echo "Mix directory: $mixdir"
fi
# The stand-in engine (from the build, else an installed package's) is found on the search path
# when the mix's engine directory is empty; the package itself keeps it off the search path.
PATH="$root/build:/usr/lib/tessaro:$PATH" exec "$root/build/tessaro" "$mixdir"
