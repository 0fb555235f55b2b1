#!/usr/bin/env bash
# Opening a mix from the command line: a mix file as the argument recalls it at start-up,
# next to the toolkit's options; --help, --version and refusals answer on the right stream.
source "$E2E_LIB"
demo=$(cd "$(dirname "$E2E_LIB")/../../examples/demo" && pwd)
SCRATCH=$(mktemp -d /tmp/tessaro-open-XXXXXX)
trap 'e2e_cleanup; rm -rf "$SCRATCH"' EXIT

# Argument # standard output starts with # exit status # standard error (no display needed).
for setup in "--help#Usage: tessaro [OPTION]... [DIRECTORY | FILE]#0#" \
             "--version#Tessaro 1.065#0#" \
             "/nonexistent##2#tessaro: '/nonexistent': No such file or directory" \
             "-bogus##2#tessaro: unknown or incomplete option '-bogus' (see --help)"; do
  IFS='#' read -r arg out want err <<<"$setup"
  env -u DISPLAY "$TESSARO" "$arg" >"$SCRATCH/out" 2>"$SCRATCH/err"
  rc=$?
  [ "$rc" = "$want" ] || fail "$arg: exit status $rc, expected $want"
  [ "$(head -c ${#out} "$SCRATCH/out")" = "$out" ] && { [ -n "$out" ] || [ ! -s "$SCRATCH/out" ]; } ||
    fail "$arg: printed $(cat "$SCRATCH/out")"
  [ "$(cat "$SCRATCH/err")" = "$err" ] || fail "$arg: said $(cat "$SCRATCH/err")"
done

# The directory, from elsewhere, is recalled at once.
e2e_start "$demo" "" "" "@"
[ "$(status_text)" = "Read 105 bytes from prefs.txt" ] || fail "status line after start-up: $(status_text)"
quit_editor
e2e_cleanup

# One of its files, after a toolkit option that sizes the control window: all of the mix
# is recalled (Store All writes the demo back byte for byte).
e2e_start "$demo" "" "" -geometry 500x300 "@/tracks.txt"
[ "$(window_size "$ctl")" = 500x300 ] || fail "-geometry was ignored: $(window_size "$ctl")"
open_window f Faders
[ "$(field_text "$win" 100 41)" = "Night Drive" ] || fail "mix name field: $(field_text "$win" 100 41)"
store_and_wait "$ctl" ctrl+s
for f in faders.txt prefs.txt tracks.txt; do same_text "$demo/$f" "$E2E_DIR/$f"; done
quit_editor
echo "PASS open from the command line"
