#!/usr/bin/env bash
# Validates the GenApi description against the GenApi 1.1 schema. The schema is not kept in
# the repository: Debian's aravis-tools carries it as a resource of arv-test-0.8, so the first
# run downloads that package (apt-get download, no installation), extracts the schema into the
# cache folder and reuses it after.
# usage: schema-test.sh CACHE-FOLDER DESCRIPTION.xml
set -euo pipefail
cache="$1" xml="$2"
xsd="$cache/GenApiSchema_Version_1_1.xsd"
if [ ! -s "$xsd" ]; then
  mkdir -p "$cache"
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  # A machine whose package lists were cleared after the set-up fetches them again first.
  if ! (cd "$work" && apt-get download -qq aravis-tools 2>/dev/null); then
    [ "$(id -u)" -eq 0 ] && apt-get update -qq || true
    (cd "$work" && apt-get download -qq aravis-tools) || { echo "cannot download aravis-tools" >&2; exit 1; }
  fi
  dpkg-deb -x "$work"/aravis-tools_*.deb "$work/root"
  gresource extract "$work/root/usr/bin/arv-test-0.8" /org/aravis/GenApiSchema_Version_1_1.xsd > "$work/schema.xsd"
  grep -q 'targetNamespace="http://www.genicam.org/GenApi/Version_1_1"' "$work/schema.xsd"
  mv "$work/schema.xsd" "$xsd"
fi
xmllint --noout --schema "$xsd" "$xml"
