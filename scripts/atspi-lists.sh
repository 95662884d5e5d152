#!/usr/bin/env bash
# Hears every list of the tool over AT-SPI as a screen reader does: starts a private X server,
# session bus and AT-SPI registry, the camera simulator on a pseudo-terminal and the tool
# against it (every page shown), then runs scripts/atspi-tree.py --lists and any further
# arguments (--change also changes each list and listens for its announcement).
# scripts/atspi-lists.sh [build-folder] [--change]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build="$1"; shift; fi

if [ -z "${QN_ATSPI_SESSION:-}" ]; then
  # Everything below runs inside a bus of its own, so no desktop session is touched.
  exec env QN_ATSPI_SESSION=1 dbus-run-session -- "$0" "$build" "$@"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
/usr/libexec/at-spi2-registryd >/dev/null 2>&1 &
pids+=($!)

export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Korvel/QN-5200R-RL Control Tool.ini"
mkdir -p "$(dirname "$settings")"
"$build/sim/qn-camera-sim" --link "$work/camera" --model QN-5200RL-BDXP --baud 115200 >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/camera" ] && break; sleep 0.05; done
printf '[General]\nControl%%20Mode=%s\n[Ports]\nCOM1=%s\n' "${QN_CONTROL_MODE:-1}" "$work/camera" > "$settings"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$build/src/gui/qn-control-tool" >"$work/tool.log" 2>&1 &
pids+=($!)
# The start-up negotiates the rate and reads every setting before the lists hold values.
sleep "${QN_ATSPI_SETTLE:-12}"
/usr/bin/python3 "$root/scripts/atspi-tree.py" qn-control-tool --lists "$@"
