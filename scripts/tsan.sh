#!/usr/bin/env bash
# Builds the transport tests with ThreadSanitizer and runs them: the receive thread, the ring
# and the readers that wait on it. Any report fails the run.
# scripts/tsan.sh [build-folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-tsan}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQN_SANITIZE=thread >/dev/null
cmake --build "$build" -j "$(nproc)" --target qn_transport_tests

# These tests use only QtCore's value types on one thread, so no suppressions are needed;
# if uninstrumented Qt internals ever report, suppress their frames in a file here, narrowly.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export QT_QPA_PLATFORM=offscreen
"$build/tests/qn_transport_tests"
