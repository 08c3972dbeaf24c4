#!/usr/bin/env bash
# Installs what the toolbox needs to build, run and test on Debian 12. Quick when all is there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5xml5 libqt5network5
  qttools5-dev qttools5-dev-tools
  libreoffice-calc-nogui libreoffice-dev
  fonts-wqy-microhei qttranslations5-l10n
  xvfb xauth x11-apps imagemagick
  python3
  dpkg-dev file desktop-file-utils
  clang libclang-rt-14-dev clang-format git
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
