#!/usr/bin/env bash
# Installs every Debian package Arventa needs to build, test and run.
# Idempotent and non-interactive: packages already present are left alone,
# and the package lists are refreshed only when something is missing.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev libqt6sql6-sqlite libgl-dev qt6-translations-l10n
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libgtest-dev libgmock-dev
  libzip-dev libpugixml-dev python3-openpyxl
  fonts-dejavu-core poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Firebird server, for several desks on one register and for the tests
# that run two desks against a server of their own. Installed without
# starting the system's server (scripts/server.sh install).
"$(dirname "$0")/server.sh" install
