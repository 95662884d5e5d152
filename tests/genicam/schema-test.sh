#!/usr/bin/env bash
# Validates the GenApi description against the GenApi 1.1 schema. The schema is not kept in
# the repository: Debian's aravis-tools (installed by the set-up) carries it as a resource of
# arv-test-0.8, from which it is taken out into the cache folder on the first run.
# usage: schema-test.sh CACHE-FOLDER DESCRIPTION.xml
set -euo pipefail
cache="$1" xml="$2"
xsd="$cache/GenApiSchema_Version_1_1.xsd"
carrier=/usr/bin/arv-test-0.8
if [ ! -s "$xsd" ]; then
  [ -x "$carrier" ] || { echo "no $carrier: run scripts/install-deps.sh (aravis-tools)" >&2; exit 1; }
  mkdir -p "$cache"
  gresource extract "$carrier" /org/aravis/GenApiSchema_Version_1_1.xsd > "$xsd.part"
  grep -q 'targetNamespace="http://www.genicam.org/GenApi/Version_1_1"' "$xsd.part"
  mv "$xsd.part" "$xsd"
fi
xmllint --noout --schema "$xsd" "$xml"
