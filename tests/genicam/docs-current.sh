#!/usr/bin/env bash
# The committed copies of the generated tables must be the generated ones:
# docs/genicam-registers.md, and README.md's SFNC table between its two marker lines.
# usage: docs-current.sh SOURCE-DIR GENERATED-DIR
set -euo pipefail
src="$1" gen="$2" status=0
if ! diff -u "$src/docs/genicam-registers.md" "$gen/genicam-registers.md"; then
  echo "docs/genicam-registers.md is stale: cp $gen/genicam-registers.md $src/docs/" >&2
  status=1
fi
readme_table="$(sed -n '/^<!-- sfnc-names: begin/,/^<!-- sfnc-names: end/p' "$src/README.md" | sed '1d;$d')"
if [ "$readme_table" != "$(cat "$gen/sfnc-names.md")" ]; then
  diff -u <(printf '%s\n' "$readme_table") "$gen/sfnc-names.md" || true
  echo "README.md's SFNC table is stale: put $gen/sfnc-names.md between its sfnc-names markers" >&2
  status=1
fi
exit $status
