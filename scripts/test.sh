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
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" ${QN_CTEST_ARGS:-}
