#!/usr/bin/env bash
# The real editor in odd mix directories (read-only, a directory, a size limit, noise, others'
# files, links, FIFOs, a device): Recall All and Ctrl+s never hang, never cost an old file a
# byte unless all three are stored, leave no temporary file, and Ctrl+q ends it with status 0.
source "$E2E_LIB"
SEEDS=$(mktemp -d /tmp/tessaro-faults-XXXXXX)
trap 'e2e_cleanup; rm -rf "$SEEDS"' EXIT
root=$([ "$(id -u)" -eq 0 ] && echo yes || true)

mkdir "$SEEDS"/{readonly,dir,big,noise,inplace,long,fifo,device}
printf 'Seed Mix\nmy notes\n\nt\t0\t1.000\t0\nv\t1\t-3.00\nend\n' >"$SEEDS/readonly/faders.txt"
printf 'pre\ton\ncolor\t200\nnote\tkeep me\nend\n' >"$SEEDS/readonly/prefs.txt"
printf '1 Kick ++\n2 Snare +\nend\n' >"$SEEDS/readonly/tracks.txt"
for d in dir big inplace long; do cp "$SEEDS"/readonly/{prefs,tracks}.txt "$SEEDS/$d/"; done
for d in inplace long device; do cp "$SEEDS"/readonly/faders.txt "$SEEDS/$d/"; done
cp "$SEEDS"/readonly/prefs.txt "$SEEDS/device/"
mkdir "$SEEDS/dir/faders.txt"
echo inside >"$SEEDS/dir/faders.txt/keep"
big_faders 60 >"$SEEDS/big/faders.txt"  # stored as far more than the 8 KiB limit
noise() { LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 255) + 1 }'; }
n=0; for f in faders:200000 prefs:3000 tracks:3000; do n=$((n + 1)); noise "${f#*:}" $n >"$SEEDS/noise/${f%:*}.txt"; done
# Every channel named with 127 bytes: the longest "tracks.txt" the editor writes.
{
  for c in $(seq 1 127); do printf '%d /%0126d %s\n' "$c" "$c" "$([ $((c % 2)) -eq 0 ] && echo off || echo +)"; done
  echo end
} >"$SEEDS/long/tracks.txt"

# Seeds | run just before the editor | user | files kept byte for byte | files stored anew |
# a line the editor must print | "unsaved" when Ctrl+q must ask (Recall All could not read
# "faders.txt" but took the other two, and no store went through). Stored files are whole
# and have their old text as "X~".
rows=("readonly|chmod 555 .|nobody|faders.txt prefs.txt tracks.txt|||"
      "dir|||faders.txt/keep prefs.txt tracks.txt|||unsaved"
      "big|ulimit -f 8||faders.txt prefs.txt tracks.txt||^write error:  expected |"
      "noise||||faders.txt prefs.txt tracks.txt||"
      "inplace|chmod 666 *.txt && chmod 555 .|nobody||faders.txt prefs.txt tracks.txt||"
      "long||||faders.txt prefs.txt tracks.txt||")

for setup in "${rows[@]}"; do
  IFS='|' read -r name pre user kept stored said unsaved <<<"$setup"
  e2e_start "$SEEDS/$name" "$pre" "$user"
  recall_all "$ctl"
  barrier
  kill -0 "$E2E_PID" 2>/dev/null || fail "$name: the editor ended after Recall All"
  touch "$SEEDS/.stamp"
  sleep 0.1  # file times move in steps of a clock tick
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
    [ ! -e "$E2E_DIR/$f~" ] || cmp -s "$SEEDS/$name/$f" "$E2E_DIR/$f~" || fail "$name: $f~ is not the old $f"
  done
  [ -z "$said" ] || grep -q "$said" "$E2E_OUT" || fail "$name: the editor did not print $said"
  [ "$name" != long ] || cmp -s "$SEEDS/long/tracks.txt" "$E2E_DIR/tracks.txt" || fail "127 long names did not come back"
  # What was seeded, backups and the editor's output: no temporary file left behind.
  extra=$(cd "$E2E_DIR" && ls -A | grep -vxE '(faders|prefs|tracks)\.txt~?|\.editor-output' || true)
  [ -z "$extra" ] || fail "$name: left behind: $extra"
  chmod 755 "$E2E_DIR"
  if [ -n "$unsaved" ]; then
    focus "$ctl"
    keys ctrl+q
    answer_quit discard
    expect_exit 0
  else
    quit_editor
  fi
  e2e_cleanup
done

# A FIFO in place of each file, and (as root) a device node of our own behind a link: every
# recall and store refuses at once, the editor stays responsive, and nothing is replaced.
odd_files() {
  local name=$1 pre=$2 items=$3 check=$4 item
  e2e_start "$SEEDS/$name" "$pre"
  recall_all "$ctl"
  barrier
  for item in $items; do  # 1 Store Faders, 2 Store Track Names, 3 Store Preferences
    menu_pick "$ctl" 336 120 "$item"
    barrier
  done
  focus "$ctl"
  keys ctrl+s
  barrier
  kill -0 "$E2E_PID" 2>/dev/null || fail "$name: the editor ended"
  (cd "$E2E_DIR" && eval "$check") || fail "$name: replaced"
  extra=$(cd "$E2E_DIR" && ls -A | grep -vxE '(faders|prefs|tracks)\.txt|odd|\.editor-output' || true)
  [ -z "$extra" ] || fail "$name: left behind: $extra"
  quit_editor
  e2e_cleanup
}
odd_files fifo "mkfifo faders.txt prefs.txt tracks.txt" "1 2 3" "[ -p faders.txt ] && [ -p prefs.txt ] && [ -p tracks.txt ]"
if [ -n "$root" ]; then
  odd_files device "mkdir odd && mknod odd/node c 1 3 && ln -s odd/node tracks.txt" 2 \
    '[ -L tracks.txt ] && [ -c odd/node ] && cmp -s faders.txt "$SEEDS/device/faders.txt" && cmp -s prefs.txt "$SEEDS/device/prefs.txt"'
else
  echo "SKIP: a device behind a link (mknod needs root)"
fi
echo "PASS disk faults"
