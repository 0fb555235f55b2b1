#!/usr/bin/env bash
# Mixing without freezing, under real input: with a stand-in engine that sleeps, the status
# line counts, the faders window takes keys, Store is refused, and the end is reported with
# the engine's output in brennic.log; Mix again stops it, quitting asks and stops it, and a
# failing or missing engine is reported as such. No engine process is left behind.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
ENGINE=$(mktemp -d /tmp/tessaro-engine-XXXXXX)
trap 'e2e_cleanup; rm -rf "$ENGINE"' EXIT
# The engine, found on the search path (the demo names no engine directory), does what the
# files engine.sleep and engine.exit in the mix directory say.
cat >"$ENGINE/brennic" <<'SCRIPT'
#!/bin/sh
echo $$ > engine.pid
echo "engine started in $(pwd)"
echo "engine warming up" >&2
sleep "$(cat engine.sleep 2>/dev/null || echo 0)"
echo "engine done"
exit "$(cat engine.exit 2>/dev/null || echo 0)"
SCRIPT
chmod 755 "$ENGINE/brennic"
export PATH="$ENGINE:$PATH"

# Engine runs: sets how long it sleeps and how it exits, presses Ctrl+m in window $3 and
# waits until it has started.
start_mix() {
  echo "$1" >"$E2E_DIR/engine.sleep"
  echo "$2" >"$E2E_DIR/engine.exit"
  rm -f "$E2E_DIR/engine.pid"
  focus "$3"
  keys ctrl+m
  wait_for 10 test -s "$E2E_DIR/engine.pid" || fail "the engine did not start"
}
# No process of the engine's process group is left, zombies aside.
engine_gone() {
  local group
  group=$(cat "$E2E_DIR/engine.pid")
  ! ps -e -o pgid=,stat= | awk -v g="$group" '$1 == g && $2 !~ /^Z/ {found = 1} END {exit !found}'
}
# The question the editor asks while the engine runs, answered with key $1.
answer() {
  wait_for 5 window_of "Mix running" || fail "no question about the running mix"
  focus "$(window_of "Mix running")"
  keys "$1"
  wait_for 5 window_gone "Mix running" || fail "the question stayed up"
}

e2e_start "$demo" "" "" "@"
open_window f Faders
fad=$win

# A five-second mix started from the faders window: the status line counts.
start_mix 5 0 "$fad"
wait_status "Mixing... [0-9] s"
first=${STATUS//[^0-9]/}
# The faders window still takes keys: a new mix name.
type_into "$fad" 100 41 "Night Drive 2"
[ "$(field_text "$fad" 100 41)" = "Night Drive 2" ] || fail "the faders window did not take keys"
wait_status "Mixing... [0-9] s"
[ "${STATUS//[^0-9]/}" -gt "$first" ] || fail "the count stood still at $first s"
# Store is refused while the engine reads the files.
stamp=$(e2e_stamp refused)
focus "$ctl"
keys ctrl+s
[ "$(status_text)" = "Mix running" ] || fail "Ctrl+s during the mix: $(status_text)"
for f in faders.txt prefs.txt tracks.txt; do [ "$E2E_DIR/$f" -nt "$stamp" ] && fail "$f was stored during the mix"; done
wait_status "Mix Complete"
printf 'engine started in %s\nengine warming up\nengine done\n' "$E2E_DIR" | diff - "$E2E_DIR/brennic.log" >&2 ||
  fail "brennic.log differs"
engine_gone || fail "engine processes left after the mix"
store_and_wait "$ctl" ctrl+s
[ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Night Drive 2" ] || fail "the name typed during the mix was lost"

# An engine that fails.
start_mix 0 1 "$ctl"
wait_status "Mix failed: brennic exit status 1, see brennic.log"

# Mix again asks; Escape keeps the engine, Return stops it.
start_mix 30 0 "$ctl"
focus "$ctl"
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

# An engine directory without the engine names what it tried.
open_window p Preferences
type_into "$win" 110 149 "$ENGINE/none/"
focus "$ctl"
keys ctrl+m
wait_status "Mix failed: could not start $ENGINE/none/brennic: No such file or directory"
type_into "$win" 110 149 "$ENGINE/"

# Quitting during a mix asks: Escape keeps both running, Return stops the engine and quits.
start_mix 30 0 "$ctl"
focus "$ctl"
keys ctrl+q
answer Escape
kill -0 "$E2E_PID" 2>/dev/null || fail "Escape quit the editor"
focus "$ctl"
keys ctrl+q
answer Return
expect_exit 0
engine_gone || fail "engine processes left after quitting"
echo "PASS mixing"
