#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are
# missing; or, given package names, those packages.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6test6 libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev
  fonts-dejavu-core fontconfig
  attr
  python3-dbf python3-pil clang libclang-rt-dev
  desktop-file-utils libxml2-utils shared-mime-info groff-base
  poppler-utils cups-daemon cups-client
  xvfb xdotool weston
  unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql
  libasound2-dev libfluidsynth-dev timgm6mb-soundfont libsndfile1-dev libcanberra-dev python3-numpy
  libffi-dev dbus-daemon python3-dbus python3-gi
  libqscintilla2-qt6-dev qt6-wayland
)
[ $# -gt 0 ] && packages=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and no root rights to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
