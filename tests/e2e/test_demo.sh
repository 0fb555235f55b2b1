#!/usr/bin/env bash
# The demo mix under real input: Recall All then Store All (Ctrl+s) writes the three demo
# files back byte for byte, and Mix (Ctrl+m) finds the engine on the search path.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
# The demo names no engine directory, so the engine is looked up on the search path.
export PATH="${BRENNIC_DIR%/}:$PATH"
e2e_start "$demo"
ctl=$(window_of "Tessaro")
place "$ctl" 700 20
recall_all "$ctl"
store_and_wait "$ctl" ctrl+s
for f in faders.txt prefs.txt tracks.txt; do
  same_text "$demo/$f" "$E2E_DIR/$f"
done

store_and_wait "$ctl" ctrl+m
wait_for 10 grep -q '^preview: ' "$E2E_OUT" || fail "the engine did not report a render"
summary=$(grep -A6 '^mix: ' "$E2E_OUT")
expected="mix: Night Drive
time indices: 5
automation entries: 22
channels: 10 (10 named)
output: 16 bit
preview: from 0:40.000:0 for 30.000"
[ "$summary" = "$expected" ] || fail "engine summary was:
$summary"
for f in faders.txt prefs.txt tracks.txt; do
  same_text "$demo/$f" "$E2E_DIR/$f"
done

focus "$ctl"
keys ctrl+q
expect_exit 0
echo "PASS demo mix"
