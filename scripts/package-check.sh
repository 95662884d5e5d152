#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it: lintian (no error,
# no warning), its file list, the changelog's version, the desktop entry and the AppStream
# metainfo, that the unpacked programs run and that the completion loads.
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
              ./usr/share/icons/hicolor/32x32/apps/example.korvel.QnControlTool.png \
              ./usr/share/doc/qn-control-tool/copyright ./usr/share/doc/qn-control-tool/changelog.gz \
              ./usr/share/man/man1/qn-control-tool.1.gz ./usr/share/man/man1/qnctl.1.gz \
              ./usr/share/man/man1/qn-camera-sim.1.gz ./usr/share/bash-completion/completions/qnctl; do
  grep -qxF "$wanted" <<<"$listing" || { echo "missing from the package: $wanted" >&2; exit 1; }
done
# The Python module goes in when the build made it (pybind11 installed, as CI has it).
python_module=""
if ls "$build"/src/python/qncam.*.so >/dev/null 2>&1; then
  python_module="$(grep -xE '\./usr/lib/python3/dist-packages/qncam\.cpython-[^/]*\.so' <<<"$listing" || true)"
  [ -n "$python_module" ] || { echo "missing from the package: the Python module qncam" >&2; exit 1; }
  grep -qxF ./usr/lib/python3/dist-packages/qncam.pyi <<<"$listing" || { echo "missing from the package: qncam.pyi" >&2; exit 1; }
fi
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || { echo "no Qt dependency computed" >&2; exit 1; }
version="$(dpkg-deb --field "$deb" Version)"
logged="$(dpkg-parsechangelog -l "$root/packaging/changelog" -S Version)"
[ "$version" = "$logged" ] || { echo "packaging/changelog ends at $logged, the package is $version" >&2; exit 1; }
# No tag is overridden; one that ever must be goes, with its reason, into an overrides file
# installed as /usr/share/lintian/overrides/qn-control-tool.
lintian --fail-on error,warning "$deb"

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
if [ -n "$python_module" ]; then
  PYTHONPATH="$unpacked/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
    'import qncam; assert issubclass(qncam.NoCamera, qncam.Error); print("import qncam:", qncam.__file__)'
fi
bash -c 'source "$1" && complete -p qnctl' _ "$unpacked/usr/share/bash-completion/completions/qnctl"
echo "Package checked."
