# Helpers for end-to-end tests: the real editor under Xvfb, driven by xdotool with real
# X input events, judged by the files it writes. Sourced by tests/e2e/test_*.sh.
set -u

E2E_DIR=""
E2E_PID=""
E2E_OUT=""
E2E_BIN=""
E2E_TITLE=Tessaro
trap e2e_cleanup EXIT
# Recovery folders of the editors under test go to a scratch state directory (made by the
# editor when it first keeps one, removed with the rest by e2e_cleanup).
E2E_STATE=$(mktemp -u /tmp/tessaro-state-XXXXXX)
export XDG_STATE_HOME=$E2E_STATE

fail() {
  echo "FAIL: $*" >&2
  [ -n "$E2E_OUT" ] && [ -f "$E2E_OUT" ] && { echo "--- editor output ---" >&2; cat "$E2E_OUT" >&2; }
  e2e_cleanup
  exit 1
}

e2e_cleanup() {
  [ -n "$E2E_PID" ] && kill "$E2E_PID" 2>/dev/null
  E2E_PID=""
  if [ -n "$E2E_DIR" ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_DIR"; fi
  [ -n "$E2E_BIN" ] && rm -rf "$E2E_BIN"
  E2E_BIN=""
  rm -rf "$E2E_STATE"
}

# Events are handled in order: once a window shown after a command is up, the command is done.
barrier() {
  show_window r Reverb
  hide_window r Reverb
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

# Starts the editor in a fresh directory, seeded from $1 when given; $2 is run in the
# starting shell just before the editor (a limit, say); with $3 = nobody the editor runs as
# user 65534. Any further arguments go to the editor, "@" standing for the fresh directory;
# the editor then starts in / and its control window is titled after the directory.
# Waits for the control window, $ctl, and moves it to 700, 20.
e2e_start() {
  if [ "${1:-}" != "$E2E_AGAIN" ]; then
    E2E_DIR=$(mktemp -d /tmp/tessaro-e2e-XXXXXX)
    [ -n "${1:-}" ] && cp -r "$1"/. "$E2E_DIR"/
  fi
  E2E_OUT="$E2E_DIR/.editor-output"
  local bin=$TESSARO drop=() args=() start=$E2E_DIR a
  E2E_TITLE=Tessaro
  for a in "${@:4}"; do
    args+=("${a//@/$E2E_DIR}")
    start=/
    [ "$a" = "${a//@/}" ] || E2E_TITLE="Tessaro - $(basename "$E2E_DIR")"
  done
  if [ "${3:-}" = nobody ] && [ "$(id -u)" -eq 0 ]; then
    # Root writes anywhere; the user 65534 must also reach the binary wherever it was built,
    # and the sanitizers' suppression files, which may sit in a checkout it cannot enter.
    E2E_BIN=$(mktemp -d /tmp/tessaro-bin-XXXXXX)
    cp "$TESSARO" "$E2E_BIN/tessaro"
    chmod 755 "$E2E_BIN" "$E2E_BIN/tessaro"
    bin=$E2E_BIN/tessaro
    drop=(env)
    local var value supp
    for var in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
      value=${!var:-}
      if [[ $value =~ suppressions=([^:]*) ]]; then
        supp=${BASH_REMATCH[1]}
        cp "$supp" "$E2E_BIN/$var.supp" || fail "cannot copy $supp for user 65534"
        chmod 644 "$E2E_BIN/$var.supp"
        drop+=("$var=${value/suppressions=$supp/suppressions=$E2E_BIN/$var.supp}")
      fi
    done
    drop+=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 644 "$E2E_DIR"/*.txt
    chmod 777 "$E2E_DIR"  # so only the fault itself stops a write
  fi
  (cd "$start" && eval "${2:-:}" && exec "${drop[@]}" stdbuf -oL "$bin" "${args[@]}" >"$E2E_OUT" 2>&1) &
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
window_size() {
  xdotool getwindowgeometry "$1" | awk '/Geometry/ {print $2}'
}

# Moves a window to x, y (there is no window manager: every window opens at 1,20).
place() {
  xdotool windowmove --sync "$1" "$2" "$3" 2>/dev/null || xdotool windowmove "$1" "$2" "$3"
}

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
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.05
}

keys() {
  xdotool key --delay 30 "$@"
  sleep 0.05
}

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

# Waits for a file to exist with a modification time newer than the stamp file $2.
wait_newer() {
  wait_for "${3:-5}" test "$1" -nt "$2"
}

# Waits for the editor to exit and checks its status.
expect_exit() {
  local want=$1 rc
  for _ in $(seq 1 100); do
    kill -0 "$E2E_PID" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$E2E_PID" 2>/dev/null && fail "editor did not exit"
  wait "$E2E_PID"
  rc=$?
  E2E_PID=""
  [ "$rc" -eq "$want" ] || fail "exit status $rc, expected $want"
}

window_gone() { ! window_of "$1"; }

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

# Ctrl+q with unsaved edits asks; answers "cancel" (Escape), "store" (Return, Store All and
# quit) or "discard" (Quit without storing, left of the default button).
answer_quit() {
  wait_for 5 window_of "Unsaved edits" || fail "Ctrl+q did not ask about unsaved edits"
  focus "$(window_of "Unsaved edits")"
  case $1 in
    cancel) keys Escape ;;
    store) keys Return ;;
    discard) keys shift+Tab space ;;
  esac
}

# --- Whole-session helpers: recall, store, mix, and judging the files written ---

# Chooses Recall > "Recall All" in the control window (item 4 of the Recall menu).
recall_all() {
  focus "$1"
  menu_pick "$1" 336 90 4
}

# Clicks the up (or, with "down", the lower) arrow of the spinner at x, y, w, h of a window.
spin() {
  local win=$1 x=$2 y=$3 w=$4 h=$5 dir=${6:-up}
  local ax=$((x + w - h / 4 - 1)) ay=$((y + h / 4))
  [ "$dir" = down ] && ay=$((y + h - h / 4 - 1))
  click_at "$win" "$ax" "$ay"
}

# Makes a stamp file now; files written after it test newer (times have nanoseconds here).
e2e_stamp() {
  local stamp="$E2E_DIR/.stamp-$1"
  touch "$stamp"
  echo "$stamp"
}

# Presses a control-window shortcut and waits until all three files were rewritten.
store_and_wait() {
  local stamp f
  stamp=$(e2e_stamp store)
  focus "$1"
  keys "$2"
  for f in prefs.txt tracks.txt faders.txt; do
    wait_newer "$E2E_DIR/$f" "$stamp" 10 || fail "$2 did not write $f"
  done
}

# Waits for the stand-in engine's report of a render in brennic.log and compares its
# summary with $1.
expect_summary() {
  local log=$E2E_DIR/brennic.log
  wait_for 10 grep -q '^preview: ' "$log" || fail "the engine did not report a render"
  local summary
  summary=$(grep -A6 '^mix: ' "$log")
  [ "$summary" = "$1" ] || fail "engine summary was:
$summary"
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
wait_status() {
  local end=$((SECONDS + ${2:-10}))
  while :; do
    STATUS=$(status_text)
    # shellcheck disable=SC2053
    [[ $STATUS == $1 ]] && return 0
    [ $SECONDS -ge $end ] && fail "status line is \"$STATUS\", expected \"$1\""
    sleep 0.1
  done
}

# Fails with a unified diff when the file the editor wrote differs from the expected text.
same_text() {
  local expected=$1 actual=$2
  diff -u "$expected" "$actual" >&2 || fail "$(basename "$actual") differs from $expected"
}

# Prints a big "faders.txt": 40 automation points, channels 1 to $1 at each.
big_faders() {
  local i c
  echo "Big Mix"
  for i in $(seq 0 39); do
    printf '\nt\t0\t%d.000\t0\n' "$i"
    for c in $(seq 1 "$1"); do printf 'v\t%d\t-%d.50\n' "$c" $((c % 20)); done
  done
  echo end
}
