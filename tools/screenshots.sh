#!/usr/bin/env bash
# Renders each of the editor's windows, with the demo mix recalled, into docs/*.png.
# Usage: tools/screenshots.sh [BUILD_DIR]   (default: build; the editor is built when missing)
# Runs the real editor under a private Xvfb and drives it with xdotool, as a user would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${TESSARO_SHOTS_DISPLAY:-}" ]; then
  for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || {
      echo "screenshots.sh: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2
      exit 1
    }
  done
  build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
  if [ ! -x "$build/tessaro" ]; then
    cmake -S "$root" -B "$build" -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" -j"$(nproc)" --target tessaro
  fi
  exec "$root/tools/xvfb-run.sh" env TESSARO_SHOTS_DISPLAY=1 TESSARO="$build/tessaro" \
    bash "$0" "$build"
fi

# From here on: inside the private X server.
set +e
E2E_LIB="$root/tests/e2e/lib.sh"
source "$E2E_LIB"
out="$root/docs"
mkdir -p "$out"

# Captures a window until two grabs in a row agree, so a half-drawn window is not kept.
capture() {
  local id=$1 file=$2 tmp="$E2E_DIR/shot"
  import -window "$id" "$tmp-a.png" || return 1
  for _ in $(seq 1 40); do
    sleep 0.1
    import -window "$id" "$tmp-b.png" || return 1
    if cmp -s <(convert "$tmp-a.png" rgb:-) <(convert "$tmp-b.png" rgb:-); then break; fi
    mv "$tmp-b.png" "$tmp-a.png"
  done
  # No time stamps in the file, so an unchanged window gives an unchanged picture.
  convert "$tmp-a.png" -strip -define png:exclude-chunks=date,time "$file"
}

# Shows one window with its control-window shortcut, captures it, and hides it again.
shoot() {
  local key=$1 title=$2 file=$3 id
  focus "$ctl"
  keys "ctrl+$key"
  wait_for 5 window_of "$title" || fail "Ctrl+$key did not show $title"
  id=$(window_of "$title")
  place "$id" 10 20
  id=$(window_of "$title")
  [ -n "${4:-}" ] && "$4" "$id"
  capture "$id" "$out/$file" || fail "could not capture $title"
  echo "wrote docs/$file"
  focus "$ctl"
  keys "ctrl+shift+$key"
  wait_for 5 window_gone "$title" || fail "Ctrl+Shift+$key did not hide $title"
}

# The effects window opens on channel 1; the lead vocal (channel 8) has the fullest chain.
show_vocal_chain() {
  focus "$1"
  click_at "$1" 200 32
  keys ctrl+a 8 Return
}

# The timeline zoomed in (2.25x) around index 2, with its two entries there chosen.
zoom_and_choose() {
  click_at "$1" 137 300
  focus "$1"
  keys plus plus
  click_at "$1" 137 120
  xdotool mousemove --window "$1" 137 149 keydown shift click 1 keyup shift mousemove --window "$1" 500 300
}

e2e_start "$root/examples/demo"
ctl=$(window_of "Tessaro")
place "$ctl" 700 20
ctl=$(window_of "Tessaro")
recall_all "$ctl"

shoot f "Faders" faders.png
shoot e "Effects" effects.png show_vocal_chain
shoot r "Reverb" reverb.png
shoot p "Preferences" preferences.png
shoot g "Submix Matrix" submix.png
shoot v "VCA Matrix" vca.png
shoot t "Timeline" timeline.png zoom_and_choose

# The lanes view over the demo's generated audio, in a taller window: all of the mix (0),
# the choice above cleared by a click on the first cue line, then L.
"$root/tools/make_demo_audio.sh" "$E2E_DIR" >/dev/null || fail "no demo audio"
all_cached() { [ "$(ls "$XDG_CACHE_HOME/tessaro/peaks" 2>/dev/null | grep -c '\.peaks$')" -ge 10 ]; }
lanes_view() {
  xdotool windowsize --sync "$1" 1000 640
  focus "$(window_of Timeline)"
  xdotool mousemove --window "$(window_of Timeline)" 400 300
  keys 0
  click_at "$(window_of Timeline)" 56 560
  keys l
  wait_for 30 all_cached || fail "the demo's audio was not read"
  sleep 1
}
shoot t "Timeline" timeline-lanes.png lanes_view
capture "$ctl" "$out/control.png" || fail "could not capture the control window"
echo "wrote docs/control.png"
focus "$ctl"
keys ctrl+q
expect_exit 0
