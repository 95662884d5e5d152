#!/usr/bin/env bash
# Sets up what is missing, builds and runs the whole suite headless.
# scripts/test.sh [build-folder] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build" "$@"
cd "$build"
# The fast tests of the layers below the windows measure timings of their own: they run one
# per core. The window tests spend their time waiting for the simulated camera's replies
# (20 ms a look, 6,147 exchanges for the shading tables), not on the processor: four of them
# per core keep the suite short without loading the machine.
export QT_QPA_PLATFORM=offscreen
status=0
ctest --output-on-failure -j "$(nproc)" -LE '^(ui|cli)$' ${QN_CTEST_ARGS:-} || status=$?
ctest --output-on-failure -j "$(( $(nproc) * 4 ))" -L '^(ui|cli)$' ${QN_CTEST_ARGS:-} || status=$?
exit "$status"
