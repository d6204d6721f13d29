#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Chanset needs;
# with --packaging also what building and checking the .deb needs
# (scripts/package-deb.sh). Idempotent: prints nothing and installs nothing when
# all packages are present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-translations-l10n libx11-dev
  # Cables as they are plugged in and pulled out (udev's events).
  libudev-dev
  libgl-dev
  xvfb xauth fonts-liberation fonts-wqy-zenhei poppler-utils
  # The manual pages are made from --help.
  help2man
  # The install tests: validators, file types, manual pages.
  desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db groff-base
)
if [ "${1:-}" = "--packaging" ]; then
  # dpkg-buildflags, file types, the package checker, hardening-check
  # (devscripts), and ccache for the second of the two package builds.
  packages+=(dpkg-dev file lintian devscripts ccache)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
