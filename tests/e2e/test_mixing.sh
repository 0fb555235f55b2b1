#!/usr/bin/env bash
# Mixing without freezing, under real input: while a stand-in engine sleeps the status line
# counts, windows take keys, Store is refused; Mix again and quitting ask and stop it.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
ENGINE=$(mktemp -d /tmp/tessaro-engine-XXXXXX)
trap 'e2e_cleanup; rm -rf "$ENGINE"' EXIT
# Found on the search path (the demo names no engine directory); sleeps as engine.sleep says.
cat >"$ENGINE/brennic" <<'SCRIPT'
#!/bin/sh
echo $$ > engine.pid
sleep "$(cat engine.sleep)"
SCRIPT
chmod 755 "$ENGINE/brennic"
export PATH="$ENGINE:$PATH"

# Sleeps $1 s, started with Ctrl+m in window $2.
start_mix() {
  echo "$1" >"$E2E_DIR/engine.sleep"
  rm -f "$E2E_DIR/engine.pid"
  focus "$2"
  keys ctrl+m
  wait_for 10 test -s "$E2E_DIR/engine.pid" || fail "the engine did not start"
}
# No process of the engine's process group is left, zombies aside.
engine_gone() {
  local group
  group=$(cat "$E2E_DIR/engine.pid")
  ! ps -e -o pgid=,stat= | awk -v g="$group" '$1 == g && $2 !~ /^Z/ {found = 1} END {exit !found}'
}
# The question asked while the engine runs, answered with key $1.
answer() {
  wait_for 5 window_of "Mix running" || fail "no question about the running mix"
  focus "$(window_of "Mix running")"
  keys "$1"
  wait_for 5 window_gone "Mix running" || fail "the question stayed up"
}

e2e_start "$demo" "" "" "@"
open_window f Faders
fad=$win

start_mix 5 "$fad"
wait_status "Mixing... [0-9] s"
first=${STATUS//[^0-9]/}
type_into "$fad" 100 41 "Night Drive 2"
[ "$(field_text "$fad" 100 41)" = "Night Drive 2" ] || fail "the faders window did not take keys"
wait_status "Mixing... [0-9] s"
[ "${STATUS//[^0-9]/}" -gt "$first" ] || fail "the count stood still at $first s"
stamp=$(e2e_stamp refused)
focus "$ctl"
keys ctrl+s
[ "$(status_text)" = "Mix running" ] || fail "Ctrl+s during the mix: $(status_text)"
for f in faders.txt prefs.txt tracks.txt; do [ "$E2E_DIR/$f" -nt "$stamp" ] && fail "$f was stored during the mix"; done
wait_status "Mix Complete"
store_and_wait "$ctl" ctrl+s
[ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Night Drive 2" ] || fail "the name typed during the mix was lost"

# Mix again asks; Escape keeps the engine, Return stops it.
start_mix 30 "$ctl"
keys ctrl+m
answer Escape
wait_status "Mixing... * s"
kill -0 "$(cat "$E2E_DIR/engine.pid")" 2>/dev/null || fail "Escape stopped the engine"
focus "$ctl"
keys ctrl+m
answer Return
wait_status "Mix failed: brennic stopped, see brennic.log"
engine_gone || fail "engine processes left after stopping"
[ -z "$(pgrep -P "$E2E_PID")" ] || fail "the editor still has a child: $(pgrep -P "$E2E_PID")"

# Quitting during a mix asks: Escape keeps both running, Return stops the engine and quits.
start_mix 30 "$ctl"
keys ctrl+q
answer Escape
kill -0 "$E2E_PID" 2>/dev/null || fail "Escape quit the editor"
focus "$ctl"
keys ctrl+q
answer Return
expect_exit 0
engine_gone || fail "engine processes left after quitting"
echo "PASS mixing"
