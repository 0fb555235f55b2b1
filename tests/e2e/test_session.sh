#!/usr/bin/env bash
# A whole editing session on the demo mix under real input: recall, page banks and time
# indices, edit volumes, a ramp, names, effects, routing and preferences, insert and remove
# an index, store (Ctrl+s), mix (Ctrl+m) against the stand-in engine, quit (Ctrl+q), and
# compare the three files with the expected texts.
source "$E2E_LIB"
here=$(cd "$(dirname "$E2E_LIB")" && pwd)
demo=$(cd "$here/../../examples/demo" && pwd)
e2e_start "$demo"
recall_all "$ctl"

row() { echo $((177 + 30 * ($1 - 1) + 9)); }

# --- Faders: mix name, volumes and a ramp at the chorus (index 3, two arrow steps up).
open_window f Faders
fad=$win
type_into "$fad" 100 41 "Night Drive v2"
spin "$fad" 26 80 50 24
spin "$fad" 26 80 50 24
type_into "$fad" 335 "$(row 5)" "-3.5"
type_into "$fad" 455 "$(row 6)" "3"

# A new index before the outro (index 5, typed): a breakdown at 1:25.5 with the keys up.
type_into "$fad" 40 92 5
menu_pick "$fad" 440 126 1
click_at "$fad" 143 90
type_into "$fad" 419 90 1
type_into "$fad" 493 90 25.5
type_into "$fad" 272 90 Breakdown
click_at "$fad" 292 "$(row 7)"
type_into "$fad" 335 "$(row 7)" "-2"
# The outro has moved to index 6: remove it.
spin "$fad" 26 80 50 24
menu_pick "$fad" 440 126 2

# Bank 2 (typed): channel 11 gets a name; back to bank 1 (arrow) to rename channel 3.
type_into "$fad" 40 144 2
type_into "$fad" 190 "$(row 1)" "Tambourine"
spin "$fad" 26 132 40 24 down
type_into "$fad" 190 "$(row 3)" "Room Mics"
hide_window f Faders

# --- Effects: channel 2 (arrow) gets the limiter, stepped down with the keyboard, and
# loses its second EQ band.
open_window e Effects
fx=$win
spin "$fx" 190 22 40 20
click_at "$fx" 440 135
click_at "$fx" 400 167
keys Left Left Left
click_at "$fx" 320 350
hide_window e Effects

# --- Submix matrix: bank 2 (arrow), channel 10 joins submix 2.
open_window g "Submix Matrix"
spin "$win" 20 30 40 24
click_at "$win" 246 244
hide_window g "Submix Matrix"

# --- Preferences: 24 bit output, and the engine directory typed in.
open_window p Preferences
click_at "$win" 287 224
type_into "$win" 110 149 "$BRENNIC_DIR"
hide_window p Preferences

store_and_wait "$ctl" ctrl+s
store_and_wait "$ctl" ctrl+m
expect_summary "mix: Night Drive v2
time indices: 5
automation entries: 21
channels: 11 (11 named)
output: 24 bit
preview: from 0:40.000:0 for 30.000"

quit_editor
sed "s|@BRENNIC_DIR@|$BRENNIC_DIR|" "$here/expected/session-prefs.txt" >"$E2E_DIR/.expected-prefs"
same_text "$E2E_DIR/.expected-prefs" "$E2E_DIR/prefs.txt"
same_text "$here/expected/session-tracks.txt" "$E2E_DIR/tracks.txt"
same_text "$here/expected/session-faders.txt" "$E2E_DIR/faders.txt"
e2e_cleanup
echo "PASS editing session"
