#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it: its file list, the
# desktop entry and the AppStream metainfo, and that the unpacked programs run.
# scripts/package-check.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target package >/dev/null
deb="$(ls -t "$build"/qn-control-tool_*.deb | head -n 1)"
echo "Package: $deb"
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Architecture|Depends):'
listing="$(dpkg-deb --contents "$deb" | awk '{print $NF}')"
echo "$listing"
for wanted in ./usr/bin/qn-control-tool ./usr/bin/qn-camera-sim ./usr/bin/qnctl \
              ./usr/share/applications/example.korvel.QnControlTool.desktop \
              ./usr/share/metainfo/example.korvel.QnControlTool.metainfo.xml \
              ./usr/share/icons/hicolor/32x32/apps/example.korvel.QnControlTool.png; do
  grep -qxF "$wanted" <<<"$listing" || { echo "missing from the package: $wanted" >&2; exit 1; }
done
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || { echo "no Qt dependency computed" >&2; exit 1; }

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/example.korvel.QnControlTool.desktop"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$unpacked/usr/share/metainfo/example.korvel.QnControlTool.metainfo.xml"
fi
"$unpacked/usr/bin/qn-control-tool" --version
"$unpacked/usr/bin/qn-camera-sim" --help | head -n 3
"$unpacked/usr/bin/qnctl" --version
# The command-line front end runs without a display: it must not link the widgets.
if ldd "$unpacked/usr/bin/qnctl" | grep -q 'libQt6Widgets\|libQt6Gui'; then
  echo "qnctl links Qt Gui or Widgets" >&2; exit 1
fi
echo "Package checked."
