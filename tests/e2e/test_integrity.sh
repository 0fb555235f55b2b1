#!/usr/bin/env bash
# What a user types, pastes, picks or recalls never corrupts or loses the mix: an emptied mix
# name, pasted line breaks and accents, huge numbers, a cancelled chooser, a chosen engine
# directory, placeholders named later, a typed -6.55.
source "$E2E_LIB"
command -v xclip >/dev/null || fail "xclip is not installed"

mix=$(mktemp -d /tmp/tessaro-mix-XXXXXX)
cp "$(dirname "$E2E_LIB")/../../examples/demo/"*.txt "$mix/"
mkdir "$mix/engine"
cp "${BRENNIC_DIR}brennic" "$mix/engine/"
trap 'rm -rf "$mix"; e2e_cleanup' EXIT
e2e_start "$mix"
recall_all "$ctl"
open_window f Faders
fad=$win
row() { echo $((177 + 30 * ($1 - 1) + 9)); }
f="$E2E_DIR/faders.txt"

paste_into() {  # window x y text: replaces a text field's contents with a pasted text
  printf '%s' "$4" | xclip -selection clipboard
  click_at "$1" "$2" "$3"
  keys ctrl+a ctrl+v Tab
}

# Every line of the three files is one well-formed record of valid UTF-8, and the engine
# accepts them.
files_sound() {
  local file
  for file in faders.txt prefs.txt tracks.txt; do
    iconv -f UTF-8 -t UTF-8 "$E2E_DIR/$file" >/dev/null 2>&1 || fail "$file is not valid UTF-8"
    ! grep -qP '[\x00-\x08\x0b-\x1f\x7f]' "$E2E_DIR/$file" || fail "$file holds a control character"
    ! grep -qiP '\tinf|\tnan' "$E2E_DIR/$file" || fail "$file holds an infinity"
  done
  (cd "$E2E_DIR" && "$mix/engine/brennic" >/dev/null 2>"$E2E_DIR/.engine-err") ||
    fail "the engine refused the files: $(cat "$E2E_DIR/.engine-err")"
}

# 1. Pasted line breaks in the mix name, a cue name, a channel name and the launch command;
# 100 accented letters pasted into a name; 1e39 into every strip number; -6.55 typed.
paste_into "$fad" 100 41 $'Night Drive\nend\r'
paste_into "$fad" 270 90 $'Intro\nt\t1\t2\t3'
paste_into "$fad" 190 "$(row 2)" $'Snare\r\nv\t5\t0'
accents=$(printf '\xc3\xa9%.0s' $(seq 1 100))
paste_into "$fad" 190 "$(row 3)" "$accents"
for x in 405 458 510; do type_into "$fad" "$x" "$(row 1)" "1e39"; done
type_into "$fad" 418 90 "1e39"
type_into "$fad" 340 "$(row 4)" "-6.55"
open_window p Preferences
paste_into "$win" 100 193 $'brennic --fast\nend'
store_and_wait "$ctl" ctrl+s
files_sound
head -n 1 "$f" | grep -qx 'Night Drive end *' || fail "mix-name line is '$(head -n 1 "$f")'"
grep -qxP 'cue\tIntro +t 1 2 3' "$f" || fail "pasted cue name split: $(grep -P '^cue' "$f" | head -2)"
grep -qxE '2 Snare +v 5 0 \+' "$E2E_DIR/tracks.txt" || fail "pasted channel name split"
grep -qx "3 $(printf '\xc3\xa9%.0s' $(seq 1 63)) +" "$E2E_DIR/tracks.txt" || fail "accented name not cut whole"
grep -qxP 'launch\tbrennic --fast end' "$E2E_DIR/prefs.txt" || fail "pasted launch command split"
grep -qxP 'v\t4\t-6\.55' "$f" || fail "typed -6.55 stored as $(grep -P '^v\t4\t' "$f" | head -1)"

# 2. A chooser that is browsed, then cancelled, escaped or closed, names nothing; a
# double-clicked file names the channel.
chooser_do() {  # strip, then what to do in the chooser
  click_at "$fad" 262 "$(row "$1")"
  wait_for 5 window_of "Choose File" || fail "the file chooser did not open"
  local ch
  ch=$(window_of "Choose File")
  click_at "$ch" 40 92  # a single click on faders.txt: reported, not chosen
  case $2 in
    escape) keys Escape ;;
    cancel) click_at "$ch" 443 356 ;;
    pick) xdotool mousemove --window "$ch" 40 110 click --repeat 2 --delay 80 1 ;;
  esac
  wait_for 5 window_gone "Choose File" || fail "the chooser stayed open after $2"
}
open_window f Faders  # back in front of the preferences
fad=$win
chooser_do 1 escape
chooser_do 1 cancel
chooser_do 5 pick
store_and_wait "$ctl" ctrl+s
grep -qx '1 Kick +' "$E2E_DIR/tracks.txt" || fail "a cancelled chooser renamed channel 1: $(head -1 "$E2E_DIR/tracks.txt")"
# The second entry of the listing, now that the first store kept "faders.txt~" beside faders.txt.
grep -qx "5 $E2E_DIR/faders.txt~ +" "$E2E_DIR/tracks.txt" || fail "a double-clicked file did not name channel 5"

# 3. The engine directory picked with the directory chooser starts the engine, once the user
# allows it to run from inside the mix directory.
open_window p Preferences
click_at "$win" 219 150
wait_for 5 window_of "Choose File" || fail "the directory chooser did not open"
ch=$(window_of "Choose File")
xdotool mousemove --window "$ch" 40 73 click --repeat 2 --delay 80 1  # into engine/
sleep 0.3
click_at "$ch" 355 356  # OK
wait_for 5 window_gone "Choose File" || fail "the directory chooser stayed open"
focus "$ctl"
keys ctrl+m
wait_for 5 window_of "Run the engine" || fail "Mix did not ask before running an engine from the mix directory"
focus "$(window_of "Run the engine")"
keys Return
wait_for 5 grep -qxP "path\t$E2E_DIR/engine/" "$E2E_DIR/prefs.txt" || fail "chosen engine directory: $(grep -P '^path' "$E2E_DIR/prefs.txt")"
wait_for 10 grep -qs '^mix: ' "$E2E_OUT" "$E2E_DIR/brennic.log" || fail "the engine in the chosen directory did not run"

# 4. An emptied mix name: Store, then Recall in a fresh editor and Store keep every record.
open_window f Faders
fad=$win
click_at "$fad" 100 41
keys ctrl+a BackSpace Tab
store_and_wait "$ctl" ctrl+s
[ -z "$(head -n 1 "$f")" ] || fail "emptied mix name written as '$(head -n 1 "$f")'"
tail -n +2 "$f" >"$E2E_DIR/.records"
quit_editor  # just stored: nothing to ask about
e2e_restart
recall_all "$ctl"
store_and_wait "$ctl" ctrl+s
tail -n +2 "$f" | diff -u "$E2E_DIR/.records" - >&2 || fail "records changed after an empty mix name"

# 5. A placeholder named later is not stored muted.
grep -qx '11 ---- off' "$E2E_DIR/tracks.txt" && fail "channel 11 unexpectedly a placeholder already"
open_window f Faders
fad=$win
type_into "$fad" 40 144 "2"
type_into "$fad" 190 "$(row 2)" "Twelve"
store_and_wait "$ctl" ctrl+s
grep -qx '11 ---- off' "$E2E_DIR/tracks.txt" || fail "channel 11 not written as a placeholder"
type_into "$fad" 190 "$(row 1)" "Eleven"
store_and_wait "$ctl" ctrl+s
grep -qx '11 Eleven +' "$E2E_DIR/tracks.txt" || fail "named placeholder stored as $(grep '^11 ' "$E2E_DIR/tracks.txt")"
files_sound
quit_editor
echo "PASS integrity"
