#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the files the
# desktop needs: the program, its master ledger and help document where it
# looks for them, a valid desktop entry passing the ledger as %f, and the
# icon at every size. Usage: install_check.sh <build-dir>
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/shareledger share/shareledger/Zuvivev.mdb share/shareledger/ReadMe.rtf \
         share/applications/shareledger.desktop share/icons/hicolor/scalable/apps/shareledger.svg; do
  [ -s "$root/$f" ] || fail "$f not installed"
done
[ -x "$root/bin/shareledger" ] || fail "the program is not executable"
for size in 16 22 24 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/shareledger.png"
  [ -s "$png" ] || fail "icon $size not installed"
  # Width and height from the PNG header (bytes 16..23, big-endian).
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "icon $size is $dims"
done
desktop=$root/share/applications/shareledger.desktop
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry is not valid"
else
  echo "desktop-file-validate missing: desktop entry not validated (scripts/setup installs it)"
fi
grep -qx 'Exec=shareledger %f' "$desktop" || fail "the desktop entry does not pass the ledger as %f"
grep -qx 'Icon=shareledger' "$desktop" || fail "the desktop entry names another icon"
echo "install layout ok"
