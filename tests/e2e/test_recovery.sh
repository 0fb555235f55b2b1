#!/usr/bin/env bash
# Crash recovery under real input and real kills: each editor keeps its unsaved mix in a
# session folder of its own, never over another editor's copy nor in the mix's files; a
# later editor offers only dead editors' copies, newest first, and Recover is exact or
# changes nothing.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)
row() { echo $((177 + 30 * ($1 - 1) + 9)); }
copies() { ls -d "$E2E_STATE"/tessaro/*/*/ 2>/dev/null; }
copy_of() { ls -d "$E2E_STATE"/tessaro/*/*-"$1"-*/ 2>/dev/null; }  # the folder of editor pid $1
kept_has() { grep -q "$3" "$(copy_of "$1")$2"; }
same_files() { for f in faders prefs tracks; do cmp -s "$1/$f.txt" "$2/$f.txt" || fail "$3 changed $f.txt"; done; }
kill_editor() { kill -9 "$1"; wait "$1" 2>/dev/null; }
edit_name() {
  open_window f Faders
  type_into "$win" 100 41 "$1"
  wait_for 5 kept_has "$E2E_PID" faders.txt "^$1\$" || fail "no copy kept of the mix \"$1\""
}
asked() { wait_for "${1:-5}" window_of "Recover unsaved edits"; }
other_than() { [ "$(window_of "Recover unsaved edits")" != "$1" ]; }
answer() {  # later|recover|discard
  asked || fail "the editor did not offer the unsaved edits"
  local question
  question=$(window_of "Recover unsaved edits")
  focus "$question"
  case $1 in
    later) keys Escape ;;
    recover) keys Return ;;
    discard) keys shift+Tab space ;;
  esac
  wait_for 5 other_than "$question" || fail "$1 did not close the question"
}

# Two editors on one directory: the second neither offers nor touches the first one's copy.
e2e_start "$demo"
recall_all "$ctl"
edit_name "Zq"  # a short name is recovered as it is
type_into "$win" 190 "$(row 3)" "Recovered Name"
wait_for 15 kept_has "$E2E_PID" tracks.txt "Recovered Name" || fail "the last edit was not kept within 10 s"
first=$E2E_PID
kept=$(mktemp -d "$E2E_DIR/.kept-XXXXXX")
cp "$(copy_of "$first")"*.txt "$kept/"
e2e_restart
asked 2 && fail "a running editor's copy was offered"
recall_all "$ctl"
edit_name "Second"
store_and_wait "$ctl" ctrl+s
[ -z "$(copy_of "$E2E_PID")" ] || fail "Store All left the editor's own copy"
same_files "$kept" "$(copy_of "$first")" "the second editor"
kill_editor "$first"
quit_editor

# Recover is all or nothing: with a kept text unreadable, nothing changes and it is offered again.
a=$(copy_of "$first")
mv "$a/tracks.txt" "$a/tracks.keep" && mkdir "$a/tracks.txt"
e2e_restart "" "" @
answer recover
wait_status "Could not recover the unsaved edits: the kept tracks.txt cannot be read"
quit_editor  # nothing changed: no question
rmdir "$a/tracks.txt" && mv "$a/tracks.keep" "$a/tracks.txt"
same_files "$kept" "$a" "a failed Recover"
e2e_restart "" "" @
answer recover
store_and_wait "$ctl" ctrl+s
for f in faders prefs tracks; do same_text "$kept/$f.txt" "$E2E_DIR/$f.txt"; done
[ -z "$(copies)" ] || fail "Store All left the recovered copy"

# Later, then edits, then a kill: the older crashed copy is still offered, after the newer.
edit_name "Older"
older=$E2E_PID
cp "$(copy_of "$older")"*.txt "$kept/"
kill_editor "$older"
e2e_restart
answer later
edit_name "Newer"
same_files "$kept" "$(copy_of "$older")" "Later and new edits"
kill_editor "$E2E_PID"
e2e_restart
answer discard
answer recover
wait_for 5 kept_has "$E2E_PID" faders.txt "^Older$" || fail "the recovered edits were not kept again"
store_and_wait "$ctl" ctrl+s
for f in faders prefs tracks; do same_text "$kept/$f.txt" "$E2E_DIR/$f.txt"; done
# Never silently off: a copy that cannot be kept is said, and tried again with the next edit.
mv "$E2E_STATE/tessaro" "$E2E_STATE/away" && mkfifo "$E2E_STATE/tessaro"
open_window f Faders
type_into "$win" 100 41 "Not Kept"
wait_status "Unsaved edits are not kept for recovery: something else stands in place of a folder"
rm "$E2E_STATE/tessaro" && mv "$E2E_STATE/away" "$E2E_STATE/tessaro"
type_into "$win" 100 41 "Given Up"
wait_for 15 kept_has "$E2E_PID" faders.txt "^Given Up$" || fail "the copy was not tried again"
focus "$ctl"
keys ctrl+q
answer_quit discard
expect_exit 0
[ -z "$(copies)" ] || fail "Quit without storing left a copy"
e2e_cleanup
echo "PASS crash recovery"
