#!/usr/bin/env bash
# The real editor killed (SIGKILL, injected by strace) at points of Store All of a big mix
# where it syncs a file to disk: after every kill the three files are all the old ones or all
# the new ones, never a mix; the next editor's one normal store leaves no temporary file.
# Killed between two renames, the store is completed when the next editor starts there.
source "$E2E_LIB"
command -v strace >/dev/null || { echo "SKIP: strace is not installed (tools/deps.sh installs it)"; exit 0; }
SEEDS=$(mktemp -d /tmp/tessaro-killed-XXXXXX)
trap 'e2e_cleanup; rm -rf "$SEEDS"' EXIT
export E2E_KEEP=1  # each kill's directory seeds the next editor

mkdir "$SEEDS"/{old,new}
big_faders 100 >"$SEEDS/old/faders.txt"
# Texts a store rewrites differently (line ends, missing keys), so old and new can be told apart.
printf 'pre\ton\r\ncolor\t200\r\nnote\tkeep me\r\nend\r\n' >"$SEEDS/old/prefs.txt"
printf '1 Kick ++\r\n2 Snare +\r\nend\r\n' >"$SEEDS/old/tracks.txt"

# Recall All, then Ctrl+s, with the editor traced by strace, which kills it at its n-th call
# ($2) of $1 (fsync, rename). Returns once the editor is gone (true) or survived the store (false).
store_killed_at() {
  strace -qq -o /dev/null -p "$E2E_PID" -e trace="$1" -e inject="$1":signal=KILL:when="$2" &
  tracer=$!
  wait_for 5 grep -Eq '^TracerPid:[[:space:]]*[1-9]' "/proc/$E2E_PID/status" || fail "strace did not attach"
  recall_all "$ctl"  # syncs nothing: every file is there
  touch "$SEEDS/.stamp"
  keys ctrl+s
  # Killed, or done with the store (its last rename puts faders.txt in place).
  wait_for 5 bash -c "! kill -0 $E2E_PID 2>/dev/null || [ '$E2E_DIR/faders.txt' -nt '$SEEDS/.stamp' ]"
  sleep 0.3  # a kill at the syncs after the renames comes right after them
  kill -0 "$E2E_PID" 2>/dev/null || { wait "$E2E_PID" "$tracer" 2>/dev/null; E2E_PID=""; return 0; }
  kill "$tracer"; wait "$tracer"  # the leak check at exit does not work under ptrace
  barrier
  quit_editor
  return 1
}

# Which set the directory holds, in $set: "old" or "new"; fails on a mix of both.
which_set() {
  local f one
  set=""
  for f in faders.txt prefs.txt tracks.txt; do
    one=$(cmp -s "$SEEDS/old/$f" "$E2E_DIR/$f" && echo old || { cmp -s "$SEEDS/new/$f" "$E2E_DIR/$f" && echo new; })
    [ -n "$one" ] || fail "$f is neither old nor new"
    [ -z "$set" ] || [ "$set" = "$one" ] || fail "$1 left old and new files together ($f $one, the others $set)"
    set=$one
  done
}

temporaries() { ls -A "$E2E_DIR" | grep -c '\.tessaro-' || true; }

# The new set: what one store of the recalled mix writes.
e2e_start "$SEEDS/old"
recall_all "$ctl"
store_and_wait "$ctl" ctrl+s
wait_for 5 test -e "$E2E_DIR/faders.txt~" || fail "the first store kept no backup"
cp "$E2E_DIR"/{faders,prefs,tracks}.txt "$SEEDS/new/"
quit_editor
rm -rf "$E2E_DIR"

# Kill after kill in the same directory, each at another sync (a store syncs each new text
# and each backup, then the directory), until a store has no n-th sync and ends normally.
prev="$SEEDS/old"
kills=0 most=0
for n in 1 2 4 6 7 99; do
  e2e_start "$prev"
  [ "$prev" = "$SEEDS/old" ] || rm -rf "$prev"
  prev=$E2E_DIR
  store_killed_at fsync "$n" || break
  kills=$((kills + 1))
  which_set "a kill at sync $n"
  t=$(temporaries)
  [ "$t" -gt "$most" ] && most=$t
  echo "kill at sync $n: the $set files, $t temporary files"
done
[ "$kills" -ge 5 ] || fail "only $kills stores were killed"
[ "$most" -gt 0 ] || fail "no kill left a temporary file to sweep"

# The store that outlived its tracer was a normal one: the new files, nothing of ours left.
which_set "the last store"
[ "$set" = new ] || fail "the last store did not write the new files"
[ "$(temporaries)" -eq 0 ] || fail "left behind after a normal store: $(ls -A "$E2E_DIR")"
rm -rf "$E2E_DIR"

# Killed at its second rename (prefs.txt replaced, the others not yet): the next start in the
# directory completes the store from its journal.
e2e_start "$SEEDS/old"
store_killed_at rename 2 || fail "the store outlived a kill at its second rename"
e2e_restart
which_set "the start after a kill between renames"
[ "$set" = new ] || fail "the start did not complete the store killed between its renames"
[ "$(temporaries)" -eq 0 ] || fail "left behind after completing a killed store: $(ls -A "$E2E_DIR")"
quit_editor
rm -rf "$E2E_DIR"
E2E_DIR=""
echo "PASS killed stores ($kills kills, and one between renames)"
