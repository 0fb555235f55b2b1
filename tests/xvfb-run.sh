#!/usr/bin/env bash
# Runs a command under a private Xvfb server, started and stopped by PID.
# Usage: xvfb-run.sh COMMAND [ARGS...]
set -u
command -v Xvfb >/dev/null || { echo "xvfb-run.sh: Xvfb is not installed" >&2; exit 1; }
for n in $(seq 90 190); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    # -noreset: no server reset when the last client leaves; -r: no key auto-repeat.
    Xvfb ":$n" -screen 0 1280x1024x24 -noreset -r -nolisten tcp >/dev/null 2>&1 &
    xpid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xpid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xpid" 2>/dev/null; then
      DISPLAY=":$n" "$@"
      rc=$?
      kill "$xpid" 2>/dev/null
      wait "$xpid" 2>/dev/null
      exit $rc
    fi
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
  fi
done
echo "xvfb-run.sh: no free display" >&2
exit 1
