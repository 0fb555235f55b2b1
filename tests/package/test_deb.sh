#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` from a build directory ($1): exactly the editor,
# the engine off the search path, the gzipped manual page, copyright, changelog, desktop entry
# and icon, depending on the FLTK and libsndfile runtime libraries; lintian-clean; installed (as root, when no
# tessaro is installed yet) it checks the demo, and removing it leaves nothing.
set -euo pipefail
build=$1
out=$(mktemp -d /tmp/tessaro-deb-XXXXXX)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$out"/tessaro_*_*.deb) || fail "no package made"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
want=$(printf './usr/%s\n' bin/tessaro lib/tessaro/brennic share/applications/tessaro.desktop \
  share/doc/tessaro/changelog.Debian.gz share/doc/tessaro/copyright \
  share/icons/hicolor/scalable/apps/tessaro.svg share/lintian/overrides/tessaro share/man/man1/tessaro.1.gz)
[ "$files" = "$want" ] || fail "package holds:
$files"

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *"libfltk1.3 ("* ]] || fail "no FLTK runtime dependency: $depends"
[[ $depends == *"libsndfile1 ("* ]] || fail "no libsndfile runtime dependency: $depends"
[ "$(dpkg-deb -f "$deb" Package)" = tessaro ] || fail "package name"

dpkg-deb -x "$deb" "$out/root"
grep -qx 'Exec=tessaro %f' "$out/root/usr/share/applications/tessaro.desktop" || fail "desktop entry passes no file"
grep -qx 'Icon=tessaro' "$out/root/usr/share/applications/tessaro.desktop" || fail "desktop entry has no icon"
tags=$(lintian "$deb" 2>&1 | grep -v '^running with root') && fail "lintian: $tags"
"$out/root/usr/bin/tessaro" --version | grep -q '^Tessaro ' || fail "packaged tessaro does not run"
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W tessaro >/dev/null 2>&1; then
  dpkg -i "$deb" >"$out/dpkg.log" 2>&1 || { cat "$out/dpkg.log" >&2; fail "dpkg -i failed"; }
  check=$(env -u DISPLAY tessaro --check "$(dirname "$0")/../../examples/demo") || { dpkg -r tessaro >/dev/null; fail "--check on the demo: $check"; }
  dpkg -r tessaro >>"$out/dpkg.log" 2>&1 || fail "dpkg -r failed"
  left=$(for f in $files /usr/lib/tessaro /usr/share/doc/tessaro; do f=${f#.}; [ ! -e "$f" ] || echo "$f"; done)
  [ -z "$left" ] && ! dpkg-query -W -f='${Status}' tessaro 2>/dev/null | grep -qv not-installed || fail "dpkg -r left: $left"
fi
echo "PASS Debian package: $(basename "$deb"), Depends: $depends"
