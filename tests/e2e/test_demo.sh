#!/usr/bin/env bash
# The demo mix under real input: Recall All then Store All (Ctrl+s) writes the three demo
# files back byte for byte, and Mix (Ctrl+m) finds the engine on the search path.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
# The demo names no engine directory, so the engine is looked up on the search path.
export PATH="${BRENNIC_DIR%/}:$PATH"
same_as_demo() {
  for f in faders.txt prefs.txt tracks.txt; do same_text "$demo/$f" "$E2E_DIR/$f"; done
}

e2e_start "$demo"
recall_all "$ctl"
store_and_wait "$ctl" ctrl+s
same_as_demo

store_and_wait "$ctl" ctrl+m
expect_summary "mix: Night Drive
time indices: 5
automation entries: 22
channels: 10 (10 named)
output: 16 bit
preview: from 0:40.000:0 for 30.000"
same_as_demo

quit_editor
echo "PASS demo mix"
