#!/usr/bin/env bash
# Installs the Debian 12 packages the editor and its tests need, and only those missing.
# Runs apt-get directly as root, through sudo otherwise.
set -euo pipefail
packages=(cmake make g++ clang libclang-rt-14-dev libfltk1.3-dev libsndfile1-dev pkg-config libgtest-dev libbenchmark-dev
          xvfb xdotool x11-utils xclip dpkg-dev lintian strace)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
