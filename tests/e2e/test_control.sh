#!/usr/bin/env bash
# The control window under real input: its size, the Show/Hide shortcuts, Store from the
# menu creating "faders.txt", and Ctrl+q ending the editor with status 0.
source "$E2E_LIB"
e2e_start
[ "$(window_size "$ctl")" = "390x175" ] || fail "control window is $(window_size "$ctl")"

for pair in "f:Faders:620x575" "e:Effects:520x620" "r:Reverb:410x255" "g:Submix Matrix:460x280" \
            "v:VCA Matrix:460x280" "p:Preferences:430x375"; do
  IFS=: read -r key title size <<<"$pair"
  show_window "$key" "$title"
  [ "$(window_size "$(window_of "$title")")" = "$size" ] || fail "$title is not $size"
  hide_window "$key" "$title"
done

# Store > "Store Faders / Effects" in an empty directory creates the file.
focus "$ctl"
menu_pick "$ctl" 336 120 1
wait_for 5 test -s "$E2E_DIR/faders.txt" || fail "faders.txt was not written"
[ "$(head -n1 "$E2E_DIR/faders.txt")" = "MixFilename" ] || fail "first line is not the mix name"
tail -n1 "$E2E_DIR/faders.txt" | grep -qx end || fail "faders.txt does not end with end"

quit_editor
echo "PASS control window"
