#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run command need, when missing.
# ser2net: the network serial port tests start their own on free ports; the system service the
# package may start (ports 2000-3001) is neither used nor in the way. fonts-sawarabi-gothic: the
# font the tool's package depends on, which the font coverage test reads (fc-query).
# libaravis-dev: the independent GenApi engine the CLProtocol library's test drives;
# aravis-tools, libxml2-utils and libglib2.0-bin: the GenApi schema check takes the schema out
# of aravis-tools' arv-test-0.8 (gresource) and validates with xmllint.
set -euo pipefail

packages=(build-essential cmake ninja-build ccache pkg-config qt6-base-dev qt6-serialport-dev
          fontconfig fonts-sawarabi-gothic
          googletest libgtest-dev libgmock-dev xvfb xauth
          dpkg-dev file desktop-file-utils appstream lintian help2man
          dbus-daemon at-spi2-core python3-pyatspi
          ser2net pybind11-dev python3-dev python3-pytest
          libmosquitto-dev mosquitto mosquitto-clients openssl ca-certificates chromium
          libaravis-dev libusb-1.0-0-dev aravis-tools libxml2-utils libglib2.0-bin)

# The Debian packages first; nothing to do there when all are in.
install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing: ${missing[*]}"
  local sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing_packages
# The plant page's pinned npm packages and its vendored MQTT client, on every set-up: the lock
# may have changed while every Debian package was already there.
if command -v npm >/dev/null 2>&1; then
  bash "$(dirname "${BASH_SOURCE[0]}")/../web/plant/setup.sh"
else
  echo "npm is missing: the plant page has no MQTT client and its test is left out" >&2
fi
