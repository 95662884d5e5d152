#!/usr/bin/env bash
# Builds the Debian packages from a configured build folder and checks them: lintian (no error,
# no warning) on each, their file lists and dependencies, the changelog's version, the desktop
# entry and the AppStream metainfo, that the fonts the tool depends on cover its texts, that
# the unpacked programs run, that the completion loads and that the Python module imports.
# scripts/package-check.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target package >/dev/null
logged="$(dpkg-parsechangelog -l "$root/packaging/changelog" -S Version)"
# Shows a package, checks its version against the changelog and runs lintian on it. No tag is
# overridden; one that ever must be goes, with its reason, into an overrides file installed
# as /usr/share/lintian/overrides/<package>.
check_deb() {
  echo "Package: $1"
  dpkg-deb --info "$1" | grep -E '^ (Package|Version|Architecture|Section|Depends):'
  local version
  version="$(dpkg-deb --field "$1" Version)"
  [ "$version" = "$logged" ] || { echo "packaging/changelog ends at $logged, $1 is $version" >&2; exit 1; }
  lintian --fail-on error,warning "$1"
}
# Fails naming the first of the wanted paths that the listing lacks.
require_files() {
  local listing="$1" wanted
  shift
  for wanted in "$@"; do
    grep -qxF "$wanted" <<<"$listing" || { echo "missing from the package: $wanted" >&2; exit 1; }
  done
}

deb="$(ls -t "$build"/qn-control-tool_*.deb | head -n 1)"
check_deb "$deb"
listing="$(dpkg-deb --contents "$deb" | awk '{print $NF}')"
echo "$listing"
for wanted in ./usr/bin/qn-control-tool ./usr/bin/qn-camera-sim ./usr/bin/qnctl \
              ./usr/share/applications/example.korvel.QnControlTool.desktop \
              ./usr/share/metainfo/example.korvel.QnControlTool.metainfo.xml \
              ./usr/share/icons/hicolor/32x32/apps/example.korvel.QnControlTool.png \
              ./usr/share/doc/qn-control-tool/copyright ./usr/share/doc/qn-control-tool/changelog.gz \
              ./usr/share/man/man1/qn-control-tool.1.gz ./usr/share/man/man1/qnctl.1.gz \
              ./usr/share/man/man1/qn-camera-sim.1.gz ./usr/share/bash-completion/completions/qnctl \
              ./usr/lib/qn-control-tool/CLProtocol/Linux64_x64/libqnclprotocol.so \
              ./etc/profile.d/genicam-clprotocol.sh; do
  require_files "$listing" "$wanted"
done
# The GenApi description beside the CLProtocol library, under its XML id.
grep -qxE '\./usr/lib/qn-control-tool/CLProtocol/SchemaVersion\.1\.1@[^/]*\.xml' <<<"$listing" \
  || { echo "missing from the package: the GenApi description beside the CLProtocol library" >&2; exit 1; }
! grep -q '/dist-packages/' <<<"$listing" || { echo "the tool's package holds the Python module" >&2; exit 1; }
depends="$(dpkg-deb --field "$deb" Depends)"
grep -q 'libqt6widgets6' <<<"$depends" || { echo "no Qt dependency computed" >&2; exit 1; }
! grep -q 'python3' <<<"$depends" || { echo "the tool's package depends on Python: $depends" >&2; exit 1; }
# The fonts the package pulls in have a glyph for every character of the windows' texts.
python3 "$root/tests/package/font-coverage-test.py" "$depends" "$root/src/gui" "$root/src/core"

# The Python module has its own package when the build made it (pybind11 installed, as CI has it).
python_deb=""
if ls "$build"/src/python/qncam.*.so >/dev/null 2>&1; then
  python_deb="$(ls -t "$build"/python3-qncam_*.deb | head -n 1)"
  check_deb "$python_deb"
  python_listing="$(dpkg-deb --contents "$python_deb" | awk '{print $NF}')"
  echo "$python_listing"
  grep -qxE '\./usr/lib/python3/dist-packages/qncam\.cpython-[^/]*\.so' <<<"$python_listing" \
    || { echo "missing from the package: the Python module qncam" >&2; exit 1; }
  require_files "$python_listing" ./usr/lib/python3/dist-packages/qncam.pyi \
    ./usr/share/doc/python3-qncam/copyright ./usr/share/doc/python3-qncam/changelog.gz
  python_depends="$(dpkg-deb --field "$python_deb" Depends)"
  grep -q 'libqt6core6' <<<"$python_depends" || { echo "no Qt dependency computed for qncam" >&2; exit 1; }
  grep -qE 'python3 \(<< [0-9]+\.[0-9]+\)' <<<"$python_depends" || { echo "qncam names no Python version" >&2; exit 1; }
fi

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
[ -z "$python_deb" ] || dpkg-deb -x "$python_deb" "$unpacked"
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
if [ -n "$python_deb" ]; then
  PYTHONPATH="$unpacked/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
    'import qncam; assert issubclass(qncam.NoCamera, qncam.Error); print("import qncam:", qncam.__file__)'
fi
bash -c 'source "$1" && complete -p qnctl' _ "$unpacked/usr/share/bash-completion/completions/qnctl"
echo "Package checked."
