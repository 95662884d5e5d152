#!/usr/bin/env bash
# Brings the plant page's MQTT client into web/plant/vendor/: installs the npm packages pinned
# in package-lock.json when node_modules is missing or older than the lock, then copies the
# client's browser build beside the page. Nothing is installed globally.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
if [ ! -d node_modules ] || [ package-lock.json -nt node_modules ]; then
  npm ci --quiet --no-audit --no-fund
  touch node_modules
fi
mkdir -p vendor
cmp -s node_modules/mqtt/dist/mqtt.min.js vendor/mqtt.min.js ||
  cp node_modules/mqtt/dist/mqtt.min.js vendor/mqtt.min.js
