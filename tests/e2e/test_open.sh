#!/usr/bin/env bash
# Opening a mix from the command line: the demo's directory (or one of its files) as the
# argument recalls it at start-up, next to the toolkit's own options; --help, --version and
# unusable arguments answer on the right stream with the right status and open no window.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
SCRATCH=$(mktemp -d /tmp/tessaro-open-XXXXXX)
trap 'e2e_cleanup; rm -rf "$SCRATCH"' EXIT

# Argument # standard output starts with # exit status # standard error (no display needed).
for setup in "--help#Usage: tessaro [OPTION]... [DIRECTORY | FILE]#0#" \
             "--version#Tessaro 1.065#0#" \
             "/nonexistent##2#tessaro: '/nonexistent': No such file or directory" \
             "$E2E_LIB##2#tessaro: '$E2E_LIB' is neither a directory nor faders.txt, prefs.txt or tracks.txt" \
             "-bogus##2#tessaro: unknown or incomplete option '-bogus' (see --help)"; do
  IFS='#' read -r arg out want err <<<"$setup"
  env -u DISPLAY "$TESSARO" "$arg" >"$SCRATCH/out" 2>"$SCRATCH/err"
  rc=$?
  [ "$rc" = "$want" ] || fail "$arg: exit status $rc, expected $want"
  if [ -n "$out" ]; then
    [ "$(head -c ${#out} "$SCRATCH/out")" = "$out" ] || fail "$arg: printed $(cat "$SCRATCH/out")"
  else
    [ ! -s "$SCRATCH/out" ] || fail "$arg: printed $(cat "$SCRATCH/out")"
  fi
  [ "$(cat "$SCRATCH/err")" = "$err" ] || fail "$arg: said $(cat "$SCRATCH/err")"
done

# The directory, from elsewhere: recalled at once, titled after the directory.
e2e_start "$demo" "" "" "@"
[ "$(status_text)" = "Read 105 bytes from prefs.txt" ] || fail "status line after start-up: $(status_text)"
open_window f Faders
[ "$(field_text "$win" 100 41)" = "Night Drive" ] || fail "mix name field: $(field_text "$win" 100 41)"
# Everything was recalled: Store All writes the demo back byte for byte.
store_and_wait "$ctl" ctrl+s
for f in faders.txt prefs.txt tracks.txt; do same_text "$demo/$f" "$E2E_DIR/$f"; done
quit_editor
e2e_cleanup

# One of the three files, after a toolkit option that sizes the control window.
e2e_start "$demo" "" "" -geometry 500x300 "@/tracks.txt"
[ "$(window_size "$ctl")" = 500x300 ] || fail "-geometry was ignored: $(window_size "$ctl")"
open_window f Faders
[ "$(field_text "$win" 100 41)" = "Night Drive" ] || fail "mix name field: $(field_text "$win" 100 41)"
quit_editor
e2e_cleanup
echo "PASS open from the command line"
