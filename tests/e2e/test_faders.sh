#!/usr/bin/env bash
# The faders window under real input: typed and arrow-stepped volumes, the auto switch and
# a typed pan reach "faders.txt" through Store All, pressed in the faders window with the last
# volume still being typed; bank 2 edits land on channels 11..20.
source "$E2E_LIB"
e2e_start
open_window f Faders
fad=$win
[ "$(window_size "$fad")" = "620x575" ] || fail "faders window is $(window_size "$fad")"

row() { echo $((177 + 30 * ($1 - 1))); }

# Strip 3: auto on, volume typed, pan typed with a decimal (whole percent kept).
click_at "$fad" 292 $(($(row 3) + 10))
type_into "$fad" 340 $(($(row 3) + 10)) "-6.5"
type_into "$fad" 565 $(($(row 3) + 9)) "3.5"
# Strip 4: auto on, volume stepped up twice with the Up key from 0.
click_at "$fad" 292 $(($(row 4) + 10))
click_at "$fad" 340 $(($(row 4) + 10))
keys Up Up
# Bank 2, strip 1 is channel 11.
type_into "$fad" 40 144 "2"
click_at "$fad" 292 $(($(row 1) + 10))
# Typed without leaving the field, then Ctrl+s in the faders window: stores what is shown.
click_at "$fad" 340 $(($(row 1) + 10))
keys ctrl+a
xdotool type --delay 20 -- "-12"

stamp="$E2E_DIR/.stamp"
touch "$stamp"
sleep 1.1
keys ctrl+s
wait_newer "$E2E_DIR/faders.txt" "$stamp" 5 || fail "Ctrl+s did not write faders.txt"
f="$E2E_DIR/faders.txt"
lines_of() { grep -P "^$1\t" "$f" | tr '\n' ' '; }
grep -qxP 'v\t3\t-6\.50' "$f" || fail "strip 3 volume missing: $(lines_of v)"
grep -qxP 'v\t4\t0\.20' "$f" || fail "strip 4 stepped volume missing: $(lines_of v)"
grep -qxP 'v\t11\t-12\.00' "$f" || fail "bank 2 strip 1 volume missing: $(lines_of v)"
grep -qxP 'p\t3\t3' "$f" || fail "pan 3.5 was not stored as 3: $(lines_of p)"
[ "$(grep -cP '^v\t' "$f")" -eq 3 ] || fail "unexpected volume lines: $(lines_of v)"

quit_editor
echo "PASS faders window"
