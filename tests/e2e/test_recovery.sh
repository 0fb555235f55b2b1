#!/usr/bin/env bash
# Crash recovery under real input: an editor killed with SIGKILL after edits leaves the
# unsaved mix in its recovery folder (never in the mix's own files); started again in the
# same directory (as its current directory or named on the command line) it asks: Later
# leaves the folder, Recover brings back exactly that mix (Store All then writes the kept
# texts), Discard and a quit without storing remove it.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)
row() { echo $((177 + 30 * ($1 - 1) + 9)); }

# The recovery folder of the mix directory: the only folder in the state directory.
folder() { ls -d "$E2E_STATE"/tessaro/*/ 2>/dev/null | head -n 1; }
has_recovery() { [ -n "$(folder)" ]; }
kept() { has_recovery && [ -f "$(folder)faders.txt" ]; }
kept_has() { grep -q "$2" "$(folder)$1"; }
mix_untouched() {
  local f
  for f in faders prefs tracks; do cmp -s "$demo/$f.txt" "$E2E_DIR/$f.txt" || fail "$1 changed $f.txt"; done
}
kill_editor() {
  kill -9 "$E2E_PID"
  wait "$E2E_PID" 2>/dev/null
  E2E_PID=""
}
# Starts the editor again in the same directory (further arguments as e2e_start's) and
# answers its recovery question.
restart_and_answer() {
  e2e_restart "${@:2}"
  wait_for 5 window_of "Recover unsaved edits" || fail "the restarted editor did not ask"
  focus "$(window_of "Recover unsaved edits")"
  case $1 in
    later) keys Escape ;;
    recover) keys Return ;;
    discard) keys shift+Tab space ;;
  esac
  wait_for 5 window_gone "Recover unsaved edits" || fail "$1 did not close the question"
}

e2e_start "$demo"
recall_all "$ctl"
open_window f Faders
type_into "$win" 100 41 "Killed Mix"
wait_for 5 kept || fail "no recovery after the first edit"
# Later edits are kept within ten seconds: a volume, a new index, a name.
type_into "$win" 335 "$(row 2)" "-4.5"
type_into "$win" 40 92 3
menu_pick "$win" 440 126 1
type_into "$win" 190 "$(row 3)" "Recovered Name"
wait_for 15 kept_has tracks.txt "Recovered Name" || fail "the last edit was not kept within 10 s"
kept_has faders.txt "^Killed Mix$" || fail "the kept faders.txt lacks the mix name"
kill_editor
mix_untouched "the killed editor"
kept=$(mktemp -d "$E2E_DIR/.kept-XXXXXX")
cp "$(folder)"*.txt "$kept/"

restart_and_answer later
kept || fail "Later removed the recovery"
quit_editor  # nothing edited in this session: no question

# This time the directory is named on the command line: the editor recalls its files, then
# offers the recovery.
restart_and_answer recover "" "" @
mix_untouched "Recover"
store_and_wait "$ctl" ctrl+s
for f in faders prefs tracks; do same_text "$kept/$f.txt" "$E2E_DIR/$f.txt"; done
has_recovery && fail "Store All left the recovery"
rm -rf "$kept"

# A quit without storing gives the edits up: their recovery goes too.
open_window f Faders
type_into "$win" 100 41 "Given Up"
wait_for 5 kept || fail "no recovery after an edit"
focus "$ctl"
keys ctrl+q
answer_quit discard
expect_exit 0
has_recovery && fail "Quit without storing left the recovery"

# Discard at start-up removes the recovery and touches nothing else.
e2e_restart
open_window f Faders
type_into "$win" 100 41 "Discarded Mix"
wait_for 5 kept || fail "no recovery after an edit"
kill_editor
mkdir "$E2E_DIR/.before"
cp "$E2E_DIR"/*.txt "$E2E_DIR/.before/"
restart_and_answer discard
has_recovery && fail "Discard left the recovery"
for f in faders prefs tracks; do cmp -s "$E2E_DIR/.before/$f.txt" "$E2E_DIR/$f.txt" || fail "Discard changed $f.txt"; done
quit_editor
e2e_cleanup
echo "PASS crash recovery"
