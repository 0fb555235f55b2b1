#!/usr/bin/env bash
# Runs a command under a private Xvfb server, started and stopped by PID.
# Usage: xvfb-run.sh COMMAND [ARGS...]   Xvfb itself picks a free display (-displayfd),
# so several of these can start at once.
set -u
command -v Xvfb >/dev/null || { echo "xvfb-run.sh: Xvfb is not installed" >&2; exit 1; }
numfile=$(mktemp)
# -noreset: no server reset when the last client leaves; -r: no key auto-repeat.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -r -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 1 200); do
  [ -s "$numfile" ] && break
  kill -0 "$xpid" 2>/dev/null || break
  sleep 0.05
done
n=$(tr -dc '0-9' <"$numfile")
rm -f "$numfile"
if [ -z "$n" ]; then
  echo "xvfb-run.sh: Xvfb did not start" >&2
  kill "$xpid" 2>/dev/null
  exit 1
fi
DISPLAY=":$n" "$@"
rc=$?
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $rc
