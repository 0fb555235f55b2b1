#!/usr/bin/env bash
# Runs one end-to-end scenario of scenarios.sh by name: run.sh SCENARIO (under Xvfb).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/scenarios.sh"
declare -F "scenario_$1" >/dev/null || fail "no scenario $1"
"scenario_$1"
echo "PASS $1"
