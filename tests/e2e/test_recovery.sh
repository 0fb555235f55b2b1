#!/usr/bin/env bash
# Crash recovery under real input: an editor killed after edits leaves the unsaved mix in
# its recovery folder, never in the mix's files; started again it asks: Later keeps the
# folder, Recover brings back exactly that mix, Discard and a quit without storing remove it.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)
row() { echo $((177 + 30 * ($1 - 1) + 9)); }
folder() { ls -d "$E2E_STATE"/tessaro/*/ 2>/dev/null | head -n 1; }  # the only one there
has_recovery() { [ -n "$(folder)" ]; }
kept() { has_recovery && [ -f "$(folder)faders.txt" ]; }
kept_has() { grep -q "$2" "$(folder)$1"; }
same_as() { for f in faders prefs tracks; do cmp -s "$1/$f.txt" "$E2E_DIR/$f.txt" || fail "$2 changed $f.txt"; done; }
kill_editor() { kill -9 "$E2E_PID"; wait "$E2E_PID" 2>/dev/null; E2E_PID=""; }
edit_name() {
  open_window f Faders
  type_into "$win" 100 41 "$1"
  wait_for 5 kept || fail "no recovery after an edit"
}
# restart_and_answer later|recover|discard [e2e_start arguments]
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
edit_name "Killed Mix"
type_into "$win" 335 "$(row 2)" "-4.5"  # later edits are kept within ten seconds
type_into "$win" 40 92 3
menu_pick "$win" 440 126 1
type_into "$win" 190 "$(row 3)" "Recovered Name"
wait_for 15 kept_has tracks.txt "Recovered Name" || fail "the last edit was not kept within 10 s"
kept_has faders.txt "^Killed Mix$" || fail "the kept faders.txt lacks the mix name"
kill_editor
same_as "$demo" "the killed editor"
kept=$(mktemp -d "$E2E_DIR/.kept-XXXXXX")
cp "$(folder)"*.txt "$kept/"

restart_and_answer later
kept || fail "Later removed the recovery"
quit_editor  # nothing edited in this session: no question
# The directory named on the command line: the editor recalls, then offers the recovery.
restart_and_answer recover "" "" @
same_as "$demo" "Recover"
store_and_wait "$ctl" ctrl+s
for f in faders prefs tracks; do same_text "$kept/$f.txt" "$E2E_DIR/$f.txt"; done
has_recovery && fail "Store All left the recovery"

edit_name "Given Up"
focus "$ctl"
keys ctrl+q
answer_quit discard
expect_exit 0
has_recovery && fail "Quit without storing left the recovery"

e2e_restart
edit_name "Discarded Mix"
kill_editor
cp "$E2E_DIR"/*.txt "$kept/"
restart_and_answer discard
has_recovery && fail "Discard left the recovery"
same_as "$kept" "Discard"
quit_editor
e2e_cleanup
echo "PASS crash recovery"
