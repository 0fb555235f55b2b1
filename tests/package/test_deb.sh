#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` from a build directory ($1): exactly the editor,
# the engine, the manual page and the desktop entry, depending on the FLTK runtime library.
set -euo pipefail
build=$1
out=$(mktemp -d /tmp/tessaro-deb-XXXXXX)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$out"/tessaro_*_*.deb) || fail "no package made"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
want=$(printf '%s\n' ./usr/bin/brennic ./usr/bin/tessaro ./usr/share/applications/tessaro.desktop \
  ./usr/share/man/man1/tessaro.1)
[ "$files" = "$want" ] || fail "package holds:
$files"

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *"libfltk1.3 ("* ]] || fail "no FLTK runtime dependency: $depends"
[ "$(dpkg-deb -f "$deb" Package)" = tessaro ] || fail "package name"

dpkg-deb -x "$deb" "$out/root"
grep -qx 'Exec=tessaro %f' "$out/root/usr/share/applications/tessaro.desktop" || fail "desktop entry passes no file"
"$out/root/usr/bin/tessaro" --version | grep -q '^Tessaro ' || fail "packaged tessaro does not run"
echo "PASS Debian package: $(basename "$deb"), Depends: $depends"
