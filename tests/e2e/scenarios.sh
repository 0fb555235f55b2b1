# The end-to-end scenarios, one function each: only what the real program under real X input
# shows (typing, pasting, choosers, questions, kills, the engine as a child, the mouse).
# shellcheck shell=bash disable=SC2016,SC2154

# A whole editing session on the demo mix: page banks and indices with the spinners' arrows,
# edit volumes, a ramp, names, effects, routing and preferences, insert and remove an index,
# store with the mix name still being typed in the faders window, mix against the stand-in
# engine, quit, and compare the three files with the expected texts.
scenario_session() {
  e2e_start "$demo"
  recall_all "$ctl"
  # Faders: volumes and a ramp at the chorus (index 3, two arrow steps up).
  open_window f Faders
  fad=$win
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
  # Effects: channel 2 (arrow) gets the limiter, stepped down with the keyboard, and loses
  # its second EQ band.
  open_window e Effects
  spin "$win" 190 22 40 20
  click_at "$win" 440 135
  click_at "$win" 400 167
  keys Left Left Left
  click_at "$win" 320 350
  hide_window e Effects
  # Submix matrix: bank 2 (arrow), channel 10 joins submix 2.
  open_window g "Submix Matrix"
  spin "$win" 20 30 40 24
  click_at "$win" 246 244
  hide_window g "Submix Matrix"
  # Preferences: 24 bit output, and the engine directory typed in.
  open_window p Preferences
  click_at "$win" 287 224
  type_into "$win" 110 149 "$BRENNIC_DIR"
  hide_window p Preferences
  # The mix name typed and not entered: Ctrl+s in the faders window stores what it shows.
  open_window f Faders
  click_at "$win" 100 41
  keys ctrl+a
  xdotool type --delay 20 -- "Night Drive v2"
  store_and_wait "$win" ctrl+s
  [ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Night Drive v2" ] || fail "Ctrl+s lost the name being typed"
  store_and_wait "$ctl" ctrl+m
  expect_summary "mix: Night Drive v2
time indices: 5
automation entries: 21
channels: 11 (11 named)
output: 24 bit
preview: from 0:40.000:0 for 30.000"
  quit_editor
  cp -r "$E2E_HERE/expected/session" "$E2E_TMP/"
  sed -i "s|@BRENNIC_DIR@|$BRENNIC_DIR|" "$E2E_TMP/session/prefs.txt"
  same_mix "$E2E_TMP/session"
}

# The quit question: Cancel keeps the editor, Quit without storing (also after Escape on the
# control window) writes nothing, Store All and quit writes the three files.
scenario_quit() {
  local f stamp
  e2e_start "$demo" @
  open_window f Faders
  type_into "$win" 100 41 "Stored On Quit"
  focus "$ctl"
  keys ctrl+q
  answer "Unsaved edits" Escape
  kill -0 "$E2E_PID" 2>/dev/null || fail "Cancel ended the editor"
  stamp=$(e2e_stamp discard)
  focus "$ctl"
  keys Escape
  answer "Unsaved edits" shift+Tab space
  expect_exit 0
  none_written "$stamp" "Quit without storing"
  e2e_restart @
  open_window f Faders
  type_into "$win" 100 41 "Stored On Quit"
  stamp=$(e2e_stamp store)
  focus "$ctl"
  keys ctrl+q
  answer "Unsaved edits" Return
  expect_exit 0
  for f in faders prefs tracks; do [ "$E2E_DIR/$f.txt" -nt "$stamp" ] || fail "Store All and quit did not write $f.txt"; done
  [ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Stored On Quit" ] || fail "the stored mix lacks the edit"
}

# Replaces a text field's contents with a pasted text: window x y text.
paste_into() {
  printf '%s' "$4" | xclip -selection clipboard
  click_at "$1" "$2" "$3"
  keys ctrl+a ctrl+v Tab
}

# Every line of the three files is one well-formed record of valid UTF-8, and the engine
# ($1) accepts them.
files_sound() {
  local file
  for file in faders.txt prefs.txt tracks.txt; do
    iconv -f UTF-8 -t UTF-8 "$E2E_DIR/$file" >/dev/null 2>&1 || fail "$file is not valid UTF-8"
    ! grep -qP '[\x00-\x08\x0b-\x1f\x7f]' "$E2E_DIR/$file" || fail "$file holds a control character"
    ! grep -qiP '\tinf|\tnan' "$E2E_DIR/$file" || fail "$file holds an infinity"
  done
  (cd "$E2E_DIR" && "$1" >/dev/null 2>"$E2E_TMP/engine-err") ||
    fail "the engine refused the files: $(cat "$E2E_TMP/engine-err")"
}

# A chooser opened from strip $1's name button, browsed with a single click, then left with
# $2: escape, cancel, or pick (a double click on the second entry).
chooser_do() {
  click_at "$fad" 262 "$(row "$1")"
  wait_for 5 window_of "Choose File" || fail "the file chooser did not open"
  local ch
  ch=$(window_of "Choose File")
  click_at "$ch" 40 92  # reported, not chosen
  case $2 in
    escape) keys Escape ;;
    cancel) click_at "$ch" 443 356 ;;
    pick) xdotool mousemove --window "$ch" 40 110 click --repeat 2 --delay 80 1 ;;
  esac
  wait_for 5 window_gone "Choose File" || fail "the chooser stayed open after $2"
}

# What a user pastes or picks never corrupts the mix: pasted line breaks and accents, huge
# numbers, a cancelled chooser, a chosen engine directory, a typed -6.55.
scenario_integrity() {
  command -v xclip >/dev/null || fail "xclip is not installed"
  local f accents engine ch
  mkdir "$E2E_TMP/mix" "$E2E_TMP/mix/engine"
  cp "$demo"/*.txt "$E2E_TMP/mix/"
  cp "${BRENNIC_DIR}brennic" "$E2E_TMP/mix/engine/"
  e2e_start "$E2E_TMP/mix"
  engine=$E2E_DIR/engine/brennic
  f=$E2E_DIR/faders.txt
  recall_all "$ctl"
  open_window f Faders
  fad=$win
  # Pasted line breaks in the mix name, a cue name, a channel name and the launch command;
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
  files_sound "$engine"
  head -n 1 "$f" | grep -qx 'Night Drive end *' || fail "mix-name line is '$(head -n 1 "$f")'"
  grep -qxP 'cue\tIntro +t 1 2 3' "$f" || fail "pasted cue name split: $(grep -P '^cue' "$f" | head -2)"
  grep -qxE '2 Snare +v 5 0 \+' "$E2E_DIR/tracks.txt" || fail "pasted channel name split"
  grep -qx "3 $(printf '\xc3\xa9%.0s' $(seq 1 63)) +" "$E2E_DIR/tracks.txt" || fail "accented name not cut whole"
  grep -qxP 'launch\tbrennic --fast end' "$E2E_DIR/prefs.txt" || fail "pasted launch command split"
  grep -qxP 'v\t4\t-6\.55' "$f" || fail "typed -6.55 stored as $(grep -P '^v\t4\t' "$f" | head -1)"

  # A chooser browsed, then cancelled, escaped or closed, names nothing; a double-clicked
  # file names the channel.
  open_window f Faders  # back in front of the preferences
  fad=$win
  chooser_do 1 escape
  chooser_do 1 cancel
  chooser_do 5 pick
  store_and_wait "$ctl" ctrl+s
  grep -qx '1 Kick +' "$E2E_DIR/tracks.txt" || fail "a cancelled chooser renamed channel 1: $(head -1 "$E2E_DIR/tracks.txt")"
  # The second entry of the listing, now that the first store kept "faders.txt~" beside it.
  grep -qx "5 $E2E_DIR/faders.txt~ +" "$E2E_DIR/tracks.txt" || fail "a double-clicked file did not name channel 5"

  # The engine directory picked with the directory chooser starts the engine, once the user
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
  answer "Run the engine" shift+Tab space
  wait_for 5 grep -qxP "path\t$E2E_DIR/engine/" "$E2E_DIR/prefs.txt" || fail "chosen engine directory: $(grep -P '^path' "$E2E_DIR/prefs.txt")"
  wait_for 10 grep -qs '^mix: ' "$E2E_OUT" "$E2E_DIR/brennic.log" || fail "the engine in the chosen directory did not run"

  files_sound "$engine"
  quit_editor
}

# Sleeps $1 s, started with Ctrl+m in window $2 (the stand-in engine of scenario_mixing).
start_mix() {
  echo "$1" >"$E2E_DIR/engine.sleep"
  rm -f "$E2E_DIR/engine.pid"
  focus "$2"
  keys ctrl+m
  wait_for 10 test -s "$E2E_DIR/engine.pid" || fail "the engine did not start"
}
# No process of the engine's process group is left, zombies aside.
engine_gone() {
  local group
  group=$(cat "$E2E_DIR/engine.pid")
  ! ps -e -o pgid=,stat= | awk -v g="$group" '$1 == g && $2 !~ /^Z/ {found = 1} END {exit !found}'
}

# The engine as a child found on the search path: while it runs the windows take keys and
# the status line says so, Store is refused; Mix again and quitting ask, and stop it.
scenario_mixing() {
  local stamp
  printf '#!/bin/sh\necho $$ > engine.pid\nsleep "$(cat engine.sleep)"\n' >"$E2E_TMP/brennic"
  chmod 755 "$E2E_TMP/brennic"
  export PATH="$E2E_TMP:$PATH"
  e2e_start "$demo" @
  open_window f Faders
  fad=$win
  start_mix 5 "$fad"
  type_into "$fad" 100 41 "Night Drive 2"
  [ "$(field_text "$fad" 100 41)" = "Night Drive 2" ] || fail "the faders window did not take keys"
  wait_status "Mixing... [0-9] s"
  stamp=$(e2e_stamp refused)
  focus "$ctl"
  keys ctrl+s
  [ "$(status_text)" = "Mix running" ] || fail "Ctrl+s during the mix: $(status_text)"
  none_written "$stamp" "Ctrl+s during the mix"
  wait_status "Mix Complete"
  store_and_wait "$ctl" ctrl+s
  [ "$(head -n 1 "$E2E_DIR/faders.txt")" = "Night Drive 2" ] || fail "the name typed during the mix was lost"
  # Mix again asks; Return keeps the engine, Stop the mix stops it.
  start_mix 30 "$ctl"
  keys ctrl+m
  answer "Mix running" Return
  wait_status "Mixing... * s"
  kill -0 "$(cat "$E2E_DIR/engine.pid")" 2>/dev/null || fail "Return stopped the engine"
  focus "$ctl"
  keys ctrl+m
  answer "Mix running" shift+Tab space
  wait_status "Mix failed: brennic stopped, see brennic.log"
  engine_gone || fail "engine processes left after stopping"
  [ -z "$(pgrep -P "$E2E_PID")" ] || fail "the editor still has a child: $(pgrep -P "$E2E_PID")"
  # Quitting during a mix asks: Escape keeps both running, Stop and quit stops the engine and quits.
  start_mix 30 "$ctl"
  keys ctrl+q
  answer "Mix running" Escape
  kill -0 "$E2E_PID" 2>/dev/null || fail "Escape quit the editor"
  focus "$ctl"
  keys ctrl+q
  answer "Mix running" shift+Tab space
  expect_exit 0
  engine_gone || fail "engine processes left after quitting"
}

copies() { ls -d "$E2E_STATE"/tessaro/*/*/ 2>/dev/null; }
copy_of() { ls -d "$E2E_STATE"/tessaro/*/*-"$1"-*/ 2>/dev/null; }  # the folder of editor pid $1
kept_has() { grep -q "$3" "$(copy_of "$1")$2"; }
kill_editor() { kill -9 "$1"; wait "$1" 2>/dev/null; }
# Types mix name $1 in the faders window and waits until the running editor keeps a copy of it.
edit_name() {
  open_window f Faders
  type_into "$win" 100 41 "$1"
  wait_for 5 kept_has "$E2E_PID" faders.txt "^$1\$" || fail "no copy kept of the mix \"$1\""
}

# Crash recovery under real kills: each editor keeps its unsaved mix in a folder of its own,
# never over another editor's copy nor in the mix's files; a later editor offers only dead
# editors' copies, newest first; Recover is exact or changes nothing; a copy that cannot be
# kept is said, and tried again.
scenario_recovery() {
  local offer="Recover unsaved edits" first kept a older
  # Two editors on one directory: the second neither offers nor touches the first one's copy.
  e2e_start "$demo"
  recall_all "$ctl"
  edit_name "Zq"  # a short name is recovered as it is
  type_into "$win" 190 "$(row 3)" "Recovered Name"
  wait_for 15 kept_has "$E2E_PID" tracks.txt "Recovered Name" || fail "the last edit was not kept within 10 s"
  first=$E2E_PID
  kept=$E2E_TMP/kept
  mkdir "$kept"
  cp "$(copy_of "$first")"*.txt "$kept/"
  e2e_restart
  wait_for 2 window_of "$offer" && fail "a running editor's copy was offered"
  recall_all "$ctl"
  edit_name "Second"
  store_and_wait "$ctl" ctrl+s
  [ -z "$(copy_of "$E2E_PID")" ] || fail "Store All left the editor's own copy"
  same_mix "$kept" "$(copy_of "$first")"
  kill_editor "$first"
  quit_editor
  # Recover is all or nothing: with a kept text unreadable, nothing changes and it is offered again.
  a=$(copy_of "$first")
  mv "$a/tracks.txt" "$a/tracks.keep" && mkdir "$a/tracks.txt"
  e2e_restart @
  answer "$offer" Return
  wait_status "Could not recover the unsaved edits: the kept tracks.txt cannot be read"
  quit_editor  # nothing changed: no question
  rmdir "$a/tracks.txt" && mv "$a/tracks.keep" "$a/tracks.txt"
  same_mix "$kept" "$a"
  e2e_restart @
  answer "$offer" Return
  store_and_wait "$ctl" ctrl+s
  same_mix "$kept"
  [ -z "$(copies)" ] || fail "Store All left the recovered copy"
  # Later, then edits, then a kill: the older crashed copy is still offered, after the newer.
  edit_name "Older"
  older=$E2E_PID
  cp "$(copy_of "$older")"*.txt "$kept/"
  kill_editor "$older"
  e2e_restart
  answer "$offer" Escape
  edit_name "Newer"
  same_mix "$kept" "$(copy_of "$older")"
  kill_editor "$E2E_PID"
  e2e_restart
  answer "$offer" shift+Tab space
  answer "$offer" Return
  wait_for 5 kept_has "$E2E_PID" faders.txt "^Older$" || fail "the recovered edits were not kept again"
  store_and_wait "$ctl" ctrl+s
  same_mix "$kept"
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
  answer "Unsaved edits" shift+Tab space
  expect_exit 0
  [ -z "$(copies)" ] || fail "Quit without storing left a copy"
}

# Store All killed by strace at its second rename (prefs.txt replaced, the others not yet):
# the next start in the directory completes the store from its journal, leaving no
# temporary file.
scenario_killed_store() {
  command -v strace >/dev/null || { echo "SKIP: strace is not installed (tools/deps.sh installs it)"; return 0; }
  mkdir "$E2E_TMP"/{old,new}
  # Texts a store rewrites differently (line ends, missing keys), so old and new differ.
  sed 's/$/\r/' "$demo/faders.txt" >"$E2E_TMP/old/faders.txt"
  printf 'pre\ton\r\ncolor\t200\r\nnote\tkeep me\r\nend\r\n' >"$E2E_TMP/old/prefs.txt"
  printf '1 Kick ++\r\n2 Snare +\r\nend\r\n' >"$E2E_TMP/old/tracks.txt"
  # The new set: what one store of the recalled mix writes.
  e2e_start "$E2E_TMP/old"
  recall_all "$ctl"
  store_and_wait "$ctl" ctrl+s
  cp "$E2E_DIR"/{faders,prefs,tracks}.txt "$E2E_TMP/new/"
  quit_editor
  rm "$E2E_DIR"/*.txt~ && cp "$E2E_TMP"/old/*.txt "$E2E_DIR"/
  e2e_restart
  strace -qq -o /dev/null -p "$E2E_PID" -e trace=rename -e inject=rename:signal=KILL:when=2 &
  wait_for 5 grep -Eq '^TracerPid:[[:space:]]*[1-9]' "/proc/$E2E_PID/status" || fail "strace did not attach"
  recall_all "$ctl"
  keys ctrl+s
  wait_for 5 eval '! kill -0 $E2E_PID 2>/dev/null' || fail "the store outlived a kill at its second rename"
  wait
  E2E_PID=""
  if ! cmp -s "$E2E_TMP/new/prefs.txt" "$E2E_DIR/prefs.txt" || ! cmp -s "$E2E_TMP/old/faders.txt" "$E2E_DIR/faders.txt"; then
    fail "the kill did not come between the renames"
  fi
  e2e_restart
  same_mix "$E2E_TMP/new"
  ! compgen -G "$E2E_DIR/.*.tessaro-*" >/dev/null || fail "left behind after completing a killed store: $(ls -A "$E2E_DIR")"
  quit_editor
}

# faders.txt rewritten by the shell: the demo under the mix name $1, kept as $E2E_TMP/$1.
outside() { sed "1s/.*/$1/" "$demo/faders.txt" >"$E2E_DIR/faders.txt"; cp "$E2E_DIR/faders.txt" "$E2E_TMP/$1"; }
# Ctrl+s, then the question about files changed on disk answered with the keys given.
ask() {
  focus "$ctl"
  keys ctrl+s
  answer "Changed on disk" "$@"
}
first_line() { wait_for 5 grep -qx "$1" "$E2E_DIR/faders.txt" || fail "faders.txt lacks the mix name $1"; }

# A file edited behind the editor's back: the status line says so when a window gets the
# focus; Ctrl+s asks: Cancel writes nothing, Overwrite keeps the outside text as faders.txt~,
# Recall All loads it and Ctrl+z brings the edits back.
scenario_outside() {
  local stamp
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
  none_written "$stamp" Cancel
  ask shift+Tab shift+Tab space
  first_line "Edited Here"
  same_text "$E2E_TMP/Outside One" "$E2E_DIR/faders.txt~"
  outside "Outside Two"
  ask shift+Tab space
  store_and_wait "$ctl" ctrl+s  # no question: the file is as recalled
  same_text "$E2E_TMP/Outside Two" "$E2E_DIR/faders.txt"
  focus "$win"
  keys ctrl+z
  store_and_wait "$ctl" ctrl+s
  first_line "Edited Here"
}

# Quitting over a faders.txt changed on disk: Return, Return (Store All and quit, Cancel) keeps
# the editor, the edit (in its recovery copy) and the outside text, however often; Recall All
# stops the quit and says so, and after Ctrl+z the quit's Store All keeps the outside text as ~.
scenario_quit_outside() {
  local round
  e2e_start "$demo" @
  open_window f Faders
  type_into "$win" 100 41 "Edited Here"
  outside "Outside One"
  for round in 1 2; do
    focus "$ctl"
    keys ctrl+q
    answer "Unsaved edits" Return
    answer "Changed on disk" Return
    kill -0 "$E2E_PID" 2>/dev/null || fail "Ctrl+q, Return, Return ended the editor (round $round)"
  done
  same_text "$E2E_TMP/Outside One" "$E2E_DIR/faders.txt"
  wait_for 15 kept_has "$E2E_PID" faders.txt "^Edited Here\$" || fail "the edit is in no file and no recovery copy"
  focus "$ctl"
  keys ctrl+q
  answer "Unsaved edits" Return
  answer "Changed on disk" shift+Tab space
  wait_status "Quit stopped: Recall All loaded the files; Ctrl+z brings your edits back"
  keys ctrl+z ctrl+q
  answer "Unsaved edits" Return
  expect_exit 0
  first_line "Edited Here"
  same_text "$E2E_TMP/Outside One" "$E2E_DIR/faders.txt~"
}

# The timeline with real input, on the demo with three cues 0.5 s apart (12.5, 13, 13.5 s):
# zoom in, pick a cue of the cluster, add an entry, drag two chosen points, move a cue in time,
# Escape a drag; each edit is stored as the faders window would, and Ctrl+z takes all back.
scenario_timeline() {
  local fad tl
  e2e_start "$demo"
  sed -i 's/^t\t0\t45\.000\t0$/t\t0\t13.000\t0/; s/^t\t1\t10\.000\t0$/t\t0\t13.500\t0/' "$E2E_DIR/faders.txt"
  recall_all "$ctl"
  cp "$E2E_DIR/faders.txt" "$E2E_TMP/original"
  open_window f Faders
  fad=$win
  keys ctrl+t
  wait_for 5 window_of Timeline || fail "Ctrl+t in the faders window did not show the timeline"
  place "$(window_of Timeline)" 10 600
  tl=$(window_of Timeline)
  # All 100 s in 651 pixels from x 56: the cluster stands at x 137, 141 and 144. A click on
  # the second line goes there; five + zoom 7.6 times around it: the third is at x 162.
  click_at "$tl" 137 300
  [ "$(field_text "$fad" 40 92)" = 2 ] || fail "a click on the second cue line did not go to index 2"
  focus "$tl"
  keys plus plus plus plus plus
  click_at "$tl" 162 300
  [ "$(field_text "$fad" 40 92)" = 3 ] || fail "a click on the third cue line, zoomed, did not go to index 3"
  # Keys (strip 7) chosen in the legend; a double-click at row 183 adds its entry at -18 dB.
  click_at "$tl" 780 168
  xdotool mousemove --window "$tl" 162 183 click --repeat 2 --delay 80 1 sleep 0.1
  # Lead Vocal (-3 dB, row 120) and Keys (-10 dB, row 149) at index 2, chosen; 10 rows up: +1 dB.
  click_at "$tl" 137 120
  xdotool mousemove --window "$tl" 137 149 keydown shift click 1 keyup shift sleep 0.05
  xdotool mousemove --window "$tl" 137 120 mousedown 1 mousemove --window "$tl" 137 116 \
    mousemove --window "$tl" 137 110 mouseup 1 sleep 0.05
  # The fourth cue's label 30 pixels on: 30 * 100 s / (7.59 * 651) later, to the millisecond.
  xdotool mousemove --window "$tl" 187 46 mousedown 1 mousemove --window "$tl" 190 46 \
    mousemove --window "$tl" 217 46 mouseup 1 sleep 0.05
  # A drag Escaped puts the point back and stores nothing.
  xdotool mousemove --window "$tl" 137 115 mousedown 1 mousemove --window "$tl" 137 80 key Escape \
    mouseup 1 sleep 0.05
  store_and_wait "$ctl" ctrl+s
  sed 's/^t\t0\t13\.500\t0$/t\t0\t14.000\t107/; s/^v\t7\t-10\.00$/v\t7\t-9.00/; s/^v\t8\t-3\.00$/v\t8\t-2.00/' \
    "$E2E_TMP/original" >"$E2E_TMP/want"
  sed -i '/^v\t9\t-8\.00$/i v\t7\t-18.00' "$E2E_TMP/want"
  same_text "$E2E_TMP/want" "$E2E_DIR/faders.txt"
  focus "$tl"
  keys ctrl+z ctrl+z ctrl+z
  store_and_wait "$ctl" ctrl+s
  same_text "$E2E_TMP/original" "$E2E_DIR/faders.txt"
  hide_window t Timeline
  quit_editor
}

# The pixel of window $1 at $2, $3 is colour $4 (RRGGBB).
pixel_is() {
  import -window "$1" "$E2E_TMP/shot.png" 2>/dev/null &&
    [ "$(convert "$E2E_TMP/shot.png" -format "%[hex:p{$2,$3}]" info:)" = "$4" ]
}
cache_of_kick() { stat -c '%i' "$XDG_CACHE_HOME"/tessaro/peaks/*.peaks 2>/dev/null | head -n 1; }
# The Kick lane (lane 1 of 13, rows 56..77), 5 rows above its middle (where silence draws
# its thin line), at 25, 48, 52 and 75 s of the demo's 0..100 s in 651 pixels from x 56: $1
# before 50 s, $2 after (its muted red where it sounds, the lane's grey where not).
kick_lane() {
  local at x
  for at in 25 48 52 75; do
    x=$((56 + at * 651 / 100))
    wait_for 10 pixel_is "$tl" "$x" 61 "$([ "$at" -lt 50 ] && echo "$1" || echo "$2")" || fail "the Kick lane at $at s"
  done
}
timeline_lanes() {
  show_window t Timeline
  place "$(window_of Timeline)" 10 600
  tl=$(window_of Timeline)
  focus "$tl"
  xdotool mousemove --window "$tl" 400 300
  keys l
}

# The lanes over generated audio: Kick silent until 50 s of 100, a FIFO for the Snare (never
# waited on); drawn at their times, reopened from the cache (not rebuilt), and a Kick file
# replaced while shown (loud only until 50 s) is redrawn.
scenario_lanes() {
  local bin cached
  bin=$(dirname "$TESSARO")
  e2e_start "$demo"
  "$bin/make_tones" "$E2E_DIR/Kick.wav" 100 55 0 1 8000 16 50 || fail "make_tones"
  mkfifo "$E2E_DIR/Snare.wav"
  recall_all "$ctl"
  timeline_lanes
  kick_lane 2E2E2E 6E3232
  wait_for 5 cache_of_kick || fail "no peak cache"
  [ "$(stat -c %a "$XDG_CACHE_HOME/tessaro/peaks")" = 700 ] || fail "the cache folder is not private"
  cached=$(cache_of_kick)
  quit_editor
  e2e_restart
  recall_all "$ctl"
  timeline_lanes
  kick_lane 2E2E2E 6E3232
  # A rebuilt cache file would be a new file put in place: another inode.
  [ "$(cache_of_kick)" = "$cached" ] || fail "the cached peaks were made again"
  "$bin/make_tones" "$E2E_TMP/new.wav" 50 55 0 1 8000 16 0 && mv "$E2E_TMP/new.wav" "$E2E_DIR/Kick.wav"
  kick_lane 6E3232 2E2E2E
  quit_editor
}

# The command line: --help, --version, --check and refusals answer on the right stream with
# the right status and no display; a directory or one of its files given from elsewhere is
# recalled at start-up, beside a toolkit option; the windows' sizes and shortcuts.
scenario_open() {
  local bad=$E2E_TMP/bad row args rc want err lines line pair key title size
  mkdir "$bad" && cp "$demo"/*.txt "$bad"/ && sed -i '3i lim\t200\t1' "$bad/faders.txt"
  # Arguments # exit status # standard error # the lines standard output holds (none: empty).
  local rows=("--help#0##Usage: tessaro [OPTION]... [DIRECTORY | FILE]"
    "--version#0##Tessaro 1.065"
    "/nonexistent#2#tessaro: '/nonexistent': No such file or directory#"
    "-bogus#2#tessaro: unknown or incomplete option '-bogus' (see --help)#"
    "--check $demo#0##0 problems in 3 files"
    "--check $bad/none#2#tessaro: '$bad/none': No such file or directory#"
    "--check $bad/faders.txt#1##$bad/faders.txt:3: Channel number out of range or not specified!#1 problem in 1 file"
    "--check $bad/faders.txt /nonexistent $demo#2#tessaro: '/nonexistent': No such file or directory#$bad/faders.txt:3: Channel number out of range or not specified!#0 problems in 3 files")
  for row in "${rows[@]}"; do
    IFS='#' read -r args want err lines <<<"$row"
    # shellcheck disable=SC2086
    env -u DISPLAY "$TESSARO" $args >"$E2E_TMP/out" 2>"$E2E_TMP/err"
    rc=$?
    [ "$rc:$(cat "$E2E_TMP/err")" = "$want:$err" ] || fail "$args: exit status $rc, said $(cat "$E2E_TMP/err")"
    [ -n "$lines" ] || [ ! -s "$E2E_TMP/out" ] || fail "$args printed $(cat "$E2E_TMP/out")"
    IFS='#' read -ra lines <<<"$lines"
    for line in "${lines[@]}"; do grep -qFx -- "$line" "$E2E_TMP/out" || fail "$args printed $(cat "$E2E_TMP/out")"; done
  done

  e2e_start "$demo" @
  [ "$(status_text)" = "Read 105 bytes from prefs.txt" ] || fail "status line after start-up: $(status_text)"
  [ "$(window_size "$ctl")" = "390x175" ] || fail "control window is $(window_size "$ctl")"
  for pair in "f:Faders:620x575" "e:Effects:520x620" "r:Reverb:410x255" "g:Submix Matrix:460x280" \
              "v:VCA Matrix:460x280" "p:Preferences:430x375" "t:Timeline:900x420"; do
    IFS=: read -r key title size <<<"$pair"
    show_window "$key" "$title"
    [ "$(window_size "$(window_of "$title")")" = "$size" ] || fail "$title is $(window_size "$(window_of "$title")")"
    hide_window "$key" "$title"
  done
  quit_editor
  e2e_cleanup
  # One of its files, after an option that sizes the control window: all of the mix is
  # recalled (Store All writes the demo back byte for byte).
  e2e_start "$demo" -geometry 500x300 "@/tracks.txt"
  [ "$(window_size "$ctl")" = 500x300 ] || fail "-geometry was ignored: $(window_size "$ctl")"
  open_window f Faders
  [ "$(field_text "$win" 100 41)" = "Night Drive" ] || fail "mix name field: $(field_text "$win" 100 41)"
  store_and_wait "$ctl" ctrl+s
  same_mix "$demo"
  quit_editor
}
