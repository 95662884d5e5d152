#!/usr/bin/env bash
# Builds the transport tests with ThreadSanitizer and runs them: the receive thread, the ring
# and the readers that wait on it. Any report fails the run.
# scripts/tsan.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-tsan}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE=thread >/dev/null
cmake --build "$build" -j "$(nproc)" --target qn_transport_tests

# Qt itself is not built with ThreadSanitizer; the suppressions name only Qt's own frames.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan.supp"
export QT_QPA_PLATFORM=offscreen
"$build/tests/qn_transport_tests"
