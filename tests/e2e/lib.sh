# Helpers for end-to-end tests: the real editor under Xvfb, driven by xdotool with real
# X input events, judged by the files it writes. Sourced by tests/e2e/run.sh.
# shellcheck shell=bash disable=SC2016,SC2034,SC2053
set -u
E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
demo=$(cd "$E2E_HERE/../../examples/demo" && pwd)

E2E_DIR="" E2E_PID="" E2E_OUT=""
E2E_TITLE=Tessaro
# Scratch files of a scenario (seeds, stand-in engines), kept until it ends.
E2E_TMP=$(mktemp -d /tmp/tessaro-e2e-tmp-XXXXXX)
trap 'e2e_cleanup; rm -rf "$E2E_TMP"' EXIT
# Recovery folders of the editors under test go to a scratch state directory (made by the
# editor when it first keeps one, removed with the rest by e2e_cleanup).
E2E_STATE=$(mktemp -u /tmp/tessaro-state-XXXXXX)
export XDG_STATE_HOME=$E2E_STATE
# Peak caches of the Timeline's lanes go to the scenario's scratch files too.
export XDG_CACHE_HOME=$E2E_TMP/cache

fail() {
  echo "FAIL: $*" >&2
  [ -n "$E2E_OUT" ] && [ -f "$E2E_OUT" ] && { echo "--- editor output ---" >&2; cat "$E2E_OUT" >&2; }
  e2e_cleanup
  exit 1
}

e2e_cleanup() {
  [ -n "$E2E_PID" ] && kill "$E2E_PID" 2>/dev/null
  E2E_PID=""
  [ -n "$E2E_DIR" ] && rm -rf "$E2E_DIR"
  rm -rf "$E2E_STATE"
}

# Waits until the command succeeds, at most $1 seconds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.05
  done
}

# Starts the editor in a fresh directory, seeded from $1 when given. Any further arguments
# go to the editor, "@" standing for the fresh directory; the editor then starts in / and its
# control window is titled after the directory. Waits for the control window, $ctl, and
# moves it to 700, 20.
e2e_start() {
  if [ "${1:-}" != "$E2E_AGAIN" ]; then
    E2E_DIR=$(mktemp -d /tmp/tessaro-e2e-XXXXXX)
    [ -n "${1:-}" ] && cp -r "$1"/. "$E2E_DIR"/
  fi
  E2E_OUT="$E2E_DIR/.editor-output"
  local args=() start=$E2E_DIR a
  E2E_TITLE=Tessaro
  for a in "${@:2}"; do
    args+=("${a//@/$E2E_DIR}")
    start=/
    [ "$a" = "${a//@/}" ] || E2E_TITLE="Tessaro - $(basename "$E2E_DIR")"
  done
  (cd "$start" && exec stdbuf -oL "$TESSARO" "${args[@]}" >"$E2E_OUT" 2>&1) &
  E2E_PID=$!
  wait_for 10 window_of "$E2E_TITLE" || fail "control window \"$E2E_TITLE\" did not appear"
  ctl=$(window_of "$E2E_TITLE")
  place "$ctl" 700 20
}

# Starts the editor again in the directory of the last e2e_start (after it ended or was
# killed), with e2e_start's further arguments.
E2E_AGAIN="(again)"
e2e_restart() { e2e_start "$E2E_AGAIN" "$@"; }

# The visible X window of our editor with exactly this title.
window_of() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$E2E_PID" --name "^$1\$" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id")" = "$1" ] && { echo "$id"; return 0; }
  done
  return 1
}

# Size of a window as "WxH".
window_size() { xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}'; }

# Moves a window to x, y (there is no window manager: every window opens at 1,20).
place() { xdotool windowmove --sync "$1" "$2" "$3" 2>/dev/null || xdotool windowmove "$1" "$2" "$3"; }

# Gives a window the keyboard and puts the pointer inside it, so shortcuts go there.
# A window just shown may take the focus a moment later, so check it stuck.
focus() {
  local id=$1 _
  xdotool mousemove --window "$id" 5 5
  for _ in $(seq 1 40); do
    xdotool windowfocus "$id" 2>/dev/null
    sleep 0.05
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$id" ] && { sleep 0.05; return 0; }
  done
  return 0
}

# Clicks at x, y inside a window.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1 sleep 0.05; }

keys() { xdotool key --delay 30 "$@" sleep 0.05; }

# Clicks a text field at x, y of a window, replaces its text, and leaves it with Tab.
type_into() {
  click_at "$1" "$2" "$3"
  keys ctrl+a
  xdotool type --delay 20 -- "$4"
  keys Tab
}

# Picks item n (from 1) of the popup menu button at x, y of a window.
menu_pick() {
  click_at "$1" "$2" "$3"
  local i
  for i in $(seq 1 "$4"); do keys Down; done
  keys Return
}

# Waits for the editor to exit and checks its status.
expect_exit() {
  wait_for 5 eval '! kill -0 "$E2E_PID"' || fail "editor did not exit"
  wait "$E2E_PID"
  local rc=$?
  E2E_PID=""
  [ "$rc" -eq "$1" ] || fail "exit status $rc, expected $1"
}

window_gone() { ! window_of "$1"; }
not_window() { [ "$(window_of "$1")" != "$2" ]; }

# Shows (hides) a window with its control-window shortcut Ctrl+$1 (Ctrl+Shift+$1) and waits
# until it is up (gone).
show_window() {
  focus "$ctl"
  keys "ctrl+$1"
  wait_for 5 window_of "$2" || fail "Ctrl+$1 did not show $2"
}
hide_window() {
  focus "$ctl"
  keys "ctrl+shift+$1"
  wait_for 5 window_gone "$2" || fail "Ctrl+Shift+$1 did not hide $2"
}

# Shows a window, moves it to the left and focuses it; it is then $win.
open_window() {
  show_window "$1" "$2"
  place "$(window_of "$2")" 10 20
  win=$(window_of "$2")
  focus "$win"
}

# Ctrl+q ends the editor with status 0.
quit_editor() {
  focus "$ctl"
  keys ctrl+q
  expect_exit 0
}

# Answers the question titled $1 with the keys that follow (Escape: Cancel or Later; Return:
# the default button; shift+Tab space: the button left of it) and waits until that window is
# gone (another question with the same title may follow).
answer() {
  wait_for 5 window_of "$1" || fail "no question \"$1\""
  local question
  question=$(window_of "$1")
  focus "$question"
  keys "${@:2}"
  wait_for 5 not_window "$1" "$question" || fail "${*:2} did not answer \"$1\""
}

# The y of strip $1's widgets in the faders window.
row() { echo $((186 + 30 * ($1 - 1))); }

# Fails unless the three files of directory $2 (default: the mix) are those of directory $1.
same_mix() {
  local f
  for f in faders prefs tracks; do same_text "$1/$f.txt" "${2:-$E2E_DIR}/$f.txt"; done
}

# Fails when the command $2 wrote any of the three files after the stamp file $1.
none_written() {
  local f
  for f in faders prefs tracks; do [ "$E2E_DIR/$f.txt" -nt "$1" ] && fail "$2 wrote $f.txt"; done
  return 0
}

# --- Whole-session helpers: recall, store, mix, and judging the files written ---

# Chooses Recall > "Recall All" in the control window (item 4 of the Recall menu).
recall_all() { focus "$1" && menu_pick "$1" 336 90 4; }

# Clicks the up (or, with "down", the lower) arrow of the spinner at x, y, w, h of a window.
spin() {
  local x=$2 y=$3 w=$4 h=$5 ay=$(($3 + $5 / 4))
  [ "${6:-up}" = up ] || ay=$((y + h - h / 4 - 1))
  click_at "$1" $((x + w - h / 4 - 1)) "$ay"
}

# Makes a stamp file now; files written after it test newer (times have nanoseconds here).
e2e_stamp() { touch "$E2E_DIR/.stamp-$1" && echo "$E2E_DIR/.stamp-$1"; }

# Presses a control-window shortcut and waits until all three files were rewritten.
store_and_wait() {
  local stamp f
  stamp=$(e2e_stamp store)
  focus "$1"
  keys "$2"
  for f in prefs.txt tracks.txt faders.txt; do
    wait_for 10 test "$E2E_DIR/$f" -nt "$stamp" || fail "$2 did not write $f"
  done
}

# Waits for the stand-in engine's report of a render in brennic.log and compares its
# summary with $1.
expect_summary() {
  wait_for 10 grep -q '^preview: ' "$E2E_DIR/brennic.log" || fail "the engine did not report a render"
  [ "$(grep -A6 '^mix: ' "$E2E_DIR/brennic.log")" = "$1" ] || fail "engine summary: $(cat "$E2E_DIR/brennic.log")"
}

# The text of a field at x, y of a window, copied through the clipboard as a user would
# (click, Ctrl+a, Ctrl+c). The editor answers the clipboard request only while it is live.
field_text() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] || focus "$1"
  xdotool mousemove --window "$1" "$2" "$3" click 1 sleep 0.05 key --delay 20 ctrl+a ctrl+c
  timeout 5 xclip -o -selection clipboard 2>/dev/null
}

# The status line of the control window.
status_text() { field_text "$ctl" 100 25; }

# Waits until the status line matches the pattern $1, at most $2 seconds (default 10); the
# text seen is then $STATUS.
status_is() { STATUS=$(status_text); [[ $STATUS == $1 ]]; }
wait_status() { wait_for "${2:-10}" status_is "$1" || fail "status line is \"$STATUS\", expected \"$1\""; }

# Fails with a unified diff when the file the editor wrote differs from the expected text.
same_text() { diff -u "$1" "$2" >&2 || fail "$(basename "$2") differs from $1"; }
