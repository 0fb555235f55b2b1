#!/usr/bin/env bash
# Files edited behind the editor's back: the status line tells it when a window gets the
# focus; Ctrl+s asks (Escape writes nothing, Overwrite keeps the outside text as faders.txt~,
# Recall All loads it and Ctrl+z brings the edits back); --check without a display.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
# outside NAME: faders.txt rewritten by the shell, the demo under another mix name.
outside() { sed "1s/.*/$1/" "$demo/faders.txt" >"$E2E_DIR/faders.txt"; cp "$E2E_DIR/faders.txt" "$E2E_DIR/.$1"; }
# ask ANSWER: Ctrl+s, then the question answered: Escape (Cancel), Return (Recall All) or
# shift+Tab space (Overwrite, left of the default button).
ask() {
  focus "$ctl"
  keys ctrl+s
  wait_for 5 window_of "Changed on disk" || fail "Ctrl+s did not ask about faders.txt"
  focus "$(window_of "Changed on disk")"
  keys "$@"
  wait_for 5 window_gone "Changed on disk" || fail "$* did not answer the question"
}
first_line() { wait_for 5 grep -qx "$1" "$E2E_DIR/faders.txt" || fail "faders.txt lacks the mix name $1"; }

e2e_start "$demo"
recall_all "$ctl"
open_window f Faders
type_into "$win" 100 41 "Edited Here"
outside "Outside One"
focus "$win"
focus "$ctl"
wait_status "faders.txt changed on disk; Recall All loads it"
stamp=$(e2e_stamp cancel)
ask Escape
for f in faders prefs tracks; do [ "$E2E_DIR/$f.txt" -nt "$stamp" ] && fail "Cancel wrote $f.txt"; done
ask shift+Tab space
first_line "Edited Here"
same_text "$E2E_DIR/.Outside One" "$E2E_DIR/faders.txt~"
outside "Outside Two"
ask Return
store_and_wait "$ctl" ctrl+s  # no question: the file is as recalled
same_text "$E2E_DIR/.Outside Two" "$E2E_DIR/faders.txt"
focus "$win"
keys ctrl+z
store_and_wait "$ctl" ctrl+s
first_line "Edited Here"

# --check, with no display.
bad=$E2E_DIR/bad
mkdir "$bad" && cp "$demo"/*.txt "$bad"/ && sed -i '3i lim\t200\t1' "$bad/faders.txt"
# Each row: the argument, then the lines printed and the exit status, joined by "|".
for row in "$demo|0 problems in 3 files|0" "$E2E_DIR/none|2" \
           "$bad/faders.txt|$bad/faders.txt:3: Channel number out of range or not specified!|1 problem in 1 file|1"; do
  got=$(env -u DISPLAY "$TESSARO" --check "${row%%|*}" 2>/dev/null; echo $?)
  [ "$(paste -sd '|' <<<"$got")" = "${row#*|}" ] || fail "--check ${row%%|*} gave: $got"
done
e2e_cleanup
echo "PASS changes on disk asked about, and --check"
