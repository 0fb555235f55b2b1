#!/usr/bin/env bash
# The real editor under disk faults: a read-only directory, "faders.txt" being a directory,
# a file-size limit and binary noise. Ctrl+s and Recall All never cost an old file a byte,
# leave no temporary file, and the editor keeps running until Ctrl+q ends it with status 0.
source "$E2E_LIB"

SEEDS=$(mktemp -d /tmp/tessaro-faults-XXXXXX)
BIN_DIR=""
trap 'e2e_cleanup; rm -rf "$SEEDS" ${BIN_DIR:+"$BIN_DIR"}' EXIT

printf 'Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n' >"$SEEDS/faders.txt"
printf 'pre\ton\ncolor\t200\nnote\tkeep me\nend\n' >"$SEEDS/prefs.txt"
printf '1 Kick ++\n2 Snare +\nend\n' >"$SEEDS/tracks.txt"

# Starts the editor in a fresh directory seeded from $1; $2 is run in the starting subshell
# just before the editor (a limit, say); with $3 = nobody the editor runs as user 65534.
start_faulty() {
  E2E_DIR=$(mktemp -d /tmp/tessaro-e2e-XXXXXX)
  cp "$1"/* "$E2E_DIR"/
  E2E_OUT="$E2E_DIR/.editor-output"
  : >"$E2E_OUT"
  local bin=$TESSARO drop=()
  if [ "${3:-}" = nobody ] && [ "$(id -u)" -eq 0 ]; then
    # Root writes anywhere; the user 65534 must also reach the binary wherever it was built.
    BIN_DIR=$(mktemp -d /tmp/tessaro-bin-XXXXXX)
    cp "$TESSARO" "$BIN_DIR/tessaro"
    chmod 755 "$BIN_DIR" "$BIN_DIR/tessaro"
    bin=$BIN_DIR/tessaro
    drop=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 644 "$E2E_DIR"/*.txt
    chmod 777 "$E2E_DIR"  # so only the fault itself stops a write
  fi
  (cd "$E2E_DIR" && eval "${2:-:}" && exec "${drop[@]}" stdbuf -oL "$bin" >>"$E2E_OUT" 2>&1) &
  E2E_PID=$!
  wait_for 10 window_of "Tessaro" || fail "control window did not appear"
  ctl=$(window_of "Tessaro")
  place "$ctl" 700 20
}

# Events are handled in order: once a window shown after a command is up, the command is done.
barrier() {
  focus "$ctl"
  keys ctrl+r
  wait_for 5 window_of "Reverb" || fail "Ctrl+r did not show the reverb window"
  focus "$ctl"
  keys ctrl+shift+r
  wait_for 5 window_gone "Reverb" || fail "Ctrl+Shift+r did not hide the reverb window"
}

store_all() {
  focus "$ctl"
  keys ctrl+s
  barrier
}

recall_all() {
  focus "$ctl"
  menu_pick "$ctl" 336 90 4
  barrier
}

same_as_seed() {
  cmp -s "$SEEDS/$1" "$E2E_DIR/$1" || fail "$1 changed: $(od -c "$E2E_DIR/$1" | head -n 5)"
}

# Only the seeded files (and the editor's output) are in the directory.
no_strays() {
  local extra
  extra=$(cd "$E2E_DIR" && ls -A | grep -vxE 'faders\.txt|prefs\.txt|tracks\.txt|\.editor-output|\.stamp' || true)
  [ -z "$extra" ] || fail "left behind: $extra"
}

still_running() {
  kill -0 "$E2E_PID" 2>/dev/null || fail "the editor ended after $1"
}

quit_cleanly() {
  focus "$ctl"
  keys ctrl+q
  expect_exit 0
  e2e_cleanup
}

# 1. Read-only current directory: nothing can be written, and nothing is lost.
start_faulty "$SEEDS" "chmod 555 ." nobody
store_all
still_running "Ctrl+s in a read-only directory"
for f in faders.txt prefs.txt tracks.txt; do same_as_seed "$f"; done
no_strays
recall_all
still_running "Recall All in a read-only directory"
store_all
for f in faders.txt prefs.txt tracks.txt; do same_as_seed "$f"; done
chmod 755 "$E2E_DIR"
quit_cleanly

# 2. A directory where "faders.txt" should be: the other two files are stored, it is untouched.
mkdir -p "$SEEDS/dir"
cp "$SEEDS/prefs.txt" "$SEEDS/tracks.txt" "$SEEDS/dir/"
start_faulty "$SEEDS/dir"
mkdir "$E2E_DIR/faders.txt"
echo inside >"$E2E_DIR/faders.txt/keep"
touch "$E2E_DIR/.stamp"
sleep 1.1
store_all
still_running "Ctrl+s with a directory as faders.txt"
wait_newer "$E2E_DIR/tracks.txt" "$E2E_DIR/.stamp" 5 || fail "tracks.txt was not stored"
wait_newer "$E2E_DIR/prefs.txt" "$E2E_DIR/.stamp" 5 || fail "prefs.txt was not stored"
[ -d "$E2E_DIR/faders.txt" ] && [ "$(cat "$E2E_DIR/faders.txt/keep")" = inside ] || fail "faders.txt directory was touched"
no_strays
recall_all
still_running "Recall All with a directory as faders.txt"
quit_cleanly

# 3. A file-size limit of 8 KiB: the small files are stored, the big "faders.txt" fails
#    halfway and the old one stays whole.
mkdir -p "$SEEDS/big"
cp "$SEEDS/prefs.txt" "$SEEDS/tracks.txt" "$SEEDS/big/"
{
  echo "Big Mix"
  for i in $(seq 0 39); do
    printf '\nt\t0\t%d.000\t0\n' "$i"
    for c in $(seq 1 60); do printf 'v\t%d\t-%d.50\n' "$c" $((c % 20)); done
  done
  echo end
} >"$SEEDS/big/faders.txt"
[ "$(stat -c %s "$SEEDS/big/faders.txt")" -gt 16384 ] || fail "the big mix is too small"
start_faulty "$SEEDS/big" "ulimit -f 8"
recall_all
touch "$E2E_DIR/.stamp"
sleep 1.1
store_all
still_running "Ctrl+s past the file-size limit"
wait_newer "$E2E_DIR/tracks.txt" "$E2E_DIR/.stamp" 5 || fail "tracks.txt was not stored"
cmp -s "$SEEDS/big/faders.txt" "$E2E_DIR/faders.txt" || fail "faders.txt changed under the size limit"
grep -q '^write error:  expected ' "$E2E_OUT" || fail "the short write was not reported"
no_strays
quit_cleanly

# 4. Binary noise in all three files: Recall All and Ctrl+s survive it.
mkdir -p "$SEEDS/noise"
noise() { LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 255) + 1 }'; }
noise 200000 1 >"$SEEDS/noise/faders.txt"
noise 3000 2 >"$SEEDS/noise/prefs.txt"
noise 3000 3 >"$SEEDS/noise/tracks.txt"
start_faulty "$SEEDS/noise"
recall_all
still_running "Recall All of noise"
store_all
still_running "Ctrl+s after a recall of noise"
tail -n 1 "$E2E_DIR/tracks.txt" | grep -qx end || fail "tracks.txt was not stored whole"
no_strays
quit_cleanly

echo "PASS disk faults"
