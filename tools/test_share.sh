#!/usr/bin/env bash
# Prints how much of the tracked code is test code: lines that are neither blank nor only a
# comment, in tests/ and fuzz/ against those plus src/, engine/, bench/ and tools/.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -z -- "$@" | grep -zE '\.(c|cc|cpp|cxx|h|hh|hpp|py|sh)$' |
    xargs -0 -r cat | grep -cvE '^[[:space:]]*($|//|#)' || true
}
tests=$(count tests fuzz)
code=$(count src engine bench tools)
awk -v t="$tests" -v c="$code" 'BEGIN {
  printf "test share: %d test lines, %d other lines, %.1f %% tests (at most 33 %%)\n", t, c, 100 * t / (t + c) }'
