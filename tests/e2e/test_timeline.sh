#!/usr/bin/env bash
# The Timeline window under real input: Ctrl+t shows it, a click on the second cue line moves
# the faders window there, a drag stores exactly that entry's new volume, Ctrl+z undoes it.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)

e2e_start "$demo"
recall_all "$ctl"
cp "$E2E_DIR/faders.txt" "$E2E_DIR/.original"
open_window f Faders
fad=$win
keys ctrl+t
wait_for 5 window_of Timeline || fail "Ctrl+t in the faders window did not show the timeline"
place "$(window_of Timeline)" 10 600
tl=$(window_of Timeline)

# The demo's five cues stand at 0, 12.5, 45, 70 and 100 seconds: the second line is at x 137.
click_at "$tl" 137 50
[ "$(field_text "$fad" 40 92)" = 2 ] || fail "a click on the second cue line did not go to index 2"

# Lead Vocal's entry there (-3 dB) is at row 110; 47 rows up is +7.1 dB.
xdotool mousemove --window "$tl" 137 110 mousedown 1 mousemove --window "$tl" 137 90 \
  mousemove --window "$tl" 137 63 mouseup 1
store_and_wait "$ctl" ctrl+s
sed 's/^v\t8\t-3\.00$/v\t8\t7.10/' "$E2E_DIR/.original" >"$E2E_DIR/.dragged"
same_text "$E2E_DIR/.dragged" "$E2E_DIR/faders.txt"

focus "$tl"
keys ctrl+z
store_and_wait "$ctl" ctrl+s
same_text "$E2E_DIR/.original" "$E2E_DIR/faders.txt"
hide_window t Timeline
quit_editor
echo "PASS timeline: Ctrl+t, a click on a cue line, a drag and its undo"
