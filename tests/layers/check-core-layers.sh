#!/usr/bin/env bash
# Fails when the camera core reaches above its layer: an include of the front ends, a Qt Gui
# or Qt Widgets header, or a core-only program or qnctl that loads those libraries; and when the
# Python module reaches into another front end (it stands on the core alone).
# check-core-layers.sh <source-root> <qt6-include-root> <core-only-program> <qnctl>
set -uo pipefail
src="$1/src/core"; python="$1/src/python"; qt="$2"; shift 2
status=0

sideways=$(grep -rnE '#include\s*[<"](gui|cli)/' "$python")
if [ -n "$sideways" ]; then
  printf 'The Python module includes another front end:\n%s\n' "$sideways"; status=1
fi

front_end=$(grep -rnE '#include\s*[<"](gui|cli)/' "$src")
if [ -n "$front_end" ]; then
  printf 'The core includes a front end:\n%s\n' "$front_end"; status=1
fi

while IFS=: read -r file line header; do
  name=$(sed -E 's/.*#include\s*<([^>]+)>.*/\1/' <<<"$header")
  for module in QtGui QtWidgets QtOpenGL QtOpenGLWidgets; do
    if [[ "$name" == "$module/"* ]] || [ -e "$qt/$module/$name" ]; then
      echo "$file:$line: the core includes <$name> from $module"; status=1
    fi
  done
done < <(grep -rnE '#include\s*<Q' "$src")

for program in "$@"; do
  needed=$(readelf -d "$program" | grep -E 'NEEDED.*libQt6(Gui|Widgets|OpenGL)')
  if [ -n "$needed" ]; then
    printf '%s links above QtCore:\n%s\n' "$program" "$needed"; status=1
  fi
  readelf -d "$program" | grep -q 'NEEDED.*libQt6Core' || { echo "$program: no QtCore entry, the check reads nothing"; status=1; }
done
exit "$status"
