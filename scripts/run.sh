#!/usr/bin/env bash
# Sets up what is missing, builds, starts the camera simulator on a pseudo-terminal, points
# COM1 of a temporary settings file at it and runs the tool. Without a display the tool runs
# under Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QN_BUILD:-$root/build}"
bash "$root/scripts/install-deps.sh"
QN_BUILD_TARGETS="qn-control-tool qn-camera-sim" bash "$root/scripts/build.sh" "$build"

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The tool keeps its preferences under $XDG_CONFIG_HOME; a fresh folder keeps the run apart
# from the operator's own settings.
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Korvel/QN-5200R-RL Control Tool.ini"
mkdir -p "$(dirname "$settings")"

if [ -x "$build/sim/qn-camera-sim" ]; then
  link="$work/camera"
  "$build/sim/qn-camera-sim" --link "$link" ${QN_SIM_ARGS:-} &
  sim_pid=$!
  for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.05; done
  printf '[Ports]\nCOM1=%s\n' "$link" > "$settings"
  echo "Camera simulator on $link (COM1)."
else
  echo "No camera simulator built; the tool starts without a camera."
fi

echo "Settings file of this run: $settings"
tool="$build/src/gui/qn-control-tool"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No display found: running the tool under Xvfb."
  xvfb-run -a -s "-screen 0 1280x1024x24" "$tool"
else
  "$tool"
fi
