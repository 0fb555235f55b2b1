#!/usr/bin/env bash
# The real editor under disk faults: a read-only directory, "faders.txt" being a directory,
# a file-size limit and binary noise. Recall All and Ctrl+s never cost an old file a byte,
# leave no temporary file, and the editor keeps running until Ctrl+q ends it with status 0.
source "$E2E_LIB"
SEEDS=$(mktemp -d /tmp/tessaro-faults-XXXXXX)
trap 'e2e_cleanup; rm -rf "$SEEDS"' EXIT

mkdir "$SEEDS"/{readonly,dir,big,noise}
printf 'Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n' >"$SEEDS/readonly/faders.txt"
printf 'pre\ton\ncolor\t200\nnote\tkeep me\nend\n' >"$SEEDS/readonly/prefs.txt"
printf '1 Kick ++\n2 Snare +\nend\n' >"$SEEDS/readonly/tracks.txt"
for d in dir big; do cp "$SEEDS"/readonly/{prefs,tracks}.txt "$SEEDS/$d/"; done
mkdir "$SEEDS/dir/faders.txt"
echo inside >"$SEEDS/dir/faders.txt/keep"
# A mix that, once recalled, is stored as far more than the 8 KiB limit.
{
  echo "Big Mix"
  for i in $(seq 0 39); do
    printf '\nt\t0\t%d.000\t0\n' "$i"
    for c in $(seq 1 60); do printf 'v\t%d\t-%d.50\n' "$c" $((c % 20)); done
  done
  echo end
} >"$SEEDS/big/faders.txt"
[ "$(stat -c %s "$SEEDS/big/faders.txt")" -gt 16384 ] || fail "the big mix is too small"
noise() { LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 255) + 1 }'; }
noise 200000 1 >"$SEEDS/noise/faders.txt"
noise 3000 2 >"$SEEDS/noise/prefs.txt"
noise 3000 3 >"$SEEDS/noise/tracks.txt"

# Events are handled in order: once a window shown after a command is up, the command is done.
barrier() {
  show_window r Reverb
  hide_window r Reverb
}

# Seeds | run just before the editor | user | files kept byte for byte | files stored anew |
# a line the editor must print.
for setup in "readonly|chmod 555 .|nobody|faders.txt prefs.txt tracks.txt||" \
             "dir|||faders.txt/keep|prefs.txt tracks.txt|" \
             "big|ulimit -f 8||faders.txt|tracks.txt|^write error:  expected " \
             "noise||||tracks.txt|"; do
  IFS='|' read -r name pre user kept stored said <<<"$setup"
  e2e_start "$SEEDS/$name" "$pre" "$user"
  recall_all "$ctl"
  barrier
  kill -0 "$E2E_PID" 2>/dev/null || fail "$name: the editor ended after Recall All"
  touch "$SEEDS/.stamp"
  sleep 1.1
  focus "$ctl"
  keys ctrl+s
  barrier
  kill -0 "$E2E_PID" 2>/dev/null || fail "$name: the editor ended after Ctrl+s"
  for f in $kept; do
    cmp -s "$SEEDS/$name/$f" "$E2E_DIR/$f" || fail "$name: $f changed: $(od -c "$E2E_DIR/$f" | head -n 5)"
  done
  for f in $stored; do
    wait_newer "$E2E_DIR/$f" "$SEEDS/.stamp" 5 && tail -n 1 "$E2E_DIR/$f" | grep -qx end ||
      fail "$name: $f was not stored whole"
  done
  [ -z "$said" ] || grep -q "$said" "$E2E_OUT" || fail "$name: the editor did not print $said"
  # Only the seeded files and the editor's output: no temporary file left behind.
  extra=$(cd "$E2E_DIR" && ls -A | grep -vxE 'faders\.txt|prefs\.txt|tracks\.txt|\.editor-output' || true)
  [ -z "$extra" ] || fail "$name: left behind: $extra"
  chmod 755 "$E2E_DIR"
  quit_editor
  e2e_cleanup
done
echo "PASS disk faults"
