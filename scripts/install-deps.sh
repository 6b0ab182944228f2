#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, but only the
# ones that are missing, so a machine that has everything builds offline.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxlsxwriter-dev
  libzip-dev libexpat1-dev libfreexl-dev
  xvfb xauth clang-format-14
  desktop-file-utils appstream dpkg-dev
  libreadstat-dev zlib1g-dev libbz2-dev liblzma-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
