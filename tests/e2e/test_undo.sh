#!/usr/bin/env bash
# Undo, redo and the quit question under real input: three edits undone with Ctrl+z from
# three windows and redone give back the files of each state; Ctrl+q with unsaved edits asks.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)
# keep_files NAME copies the three files; same_files NAME compares against that copy.
keep_files() { for f in faders prefs tracks; do cp "$E2E_DIR/$f.txt" "$E2E_DIR/.$1-$f.txt"; done; }
same_files() { for f in faders prefs tracks; do same_text "$E2E_DIR/.$1-$f.txt" "$E2E_DIR/$f.txt"; done; }
written_since() { for f in faders prefs tracks; do [ "$E2E_DIR/$f.txt" -nt "$1" ] || return 1; done; }

e2e_start "$demo"
quit_editor  # nothing to lose: Ctrl+q ends it at once
e2e_cleanup

e2e_start "$demo"
recall_all "$ctl"
store_and_wait "$ctl" ctrl+s
keep_files original
open_window f Faders
fad=$win
type_into "$fad" 567 $((177 + 30 + 9)) "-35"  # pan of row 2, key by key
type_into "$fad" 40 92 3
menu_pick "$fad" 440 126 1
open_window g "Submix Matrix"
click_at "$win" 246 244
store_and_wait "$ctl" ctrl+s
keep_files edited
cmp -s "$E2E_DIR/.original-faders.txt" "$E2E_DIR/faders.txt" && fail "the edits changed nothing"
for w in "$win" "$fad" "$ctl"; do focus "$w"; keys ctrl+z; done
store_and_wait "$ctl" ctrl+s
same_files original
for k in ctrl+shift+z ctrl+y ctrl+shift+z; do focus "$fad"; keys "$k"; done
store_and_wait "$ctl" ctrl+s
same_files edited

# Undone edits are unsaved again: Cancel keeps the editor running.
focus "$fad"
keys ctrl+z
focus "$ctl"
keys ctrl+q
answer_quit cancel
wait_for 5 window_gone "Unsaved edits" || fail "Cancel did not close the question"
kill -0 "$E2E_PID" 2>/dev/null || fail "Cancel ended the editor"
# Escape on the control window quits too; without storing, nothing is written.
stamp=$(e2e_stamp quit)
focus "$ctl"
keys Escape
answer_quit discard
expect_exit 0
for f in faders prefs tracks; do [ "$E2E_DIR/$f.txt" -nt "$stamp" ] && fail "Quit without storing wrote $f.txt"; done
same_files edited
e2e_cleanup

e2e_start "$demo"
recall_all "$ctl"
open_window f Faders
type_into "$win" 100 41 "Stored On Quit"
stamp=$(e2e_stamp quit)
focus "$ctl"
keys ctrl+q
answer_quit store
expect_exit 0
written_since "$stamp" || fail "Store All and quit did not write the three files"
[ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Stored On Quit" ] || fail "the stored mix lacks the edit"
e2e_cleanup
echo "PASS undo, redo and the quit question"
