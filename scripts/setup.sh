#!/usr/bin/env bash
# Installs what building, running and testing Qel need on Debian or Ubuntu. Does nothing when all
# of it is there already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libx11-dev libxtst-dev libxext-dev libxcomposite-dev libxres-dev libxcb1-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libopencv-dev
  xvfb xauth dbus-daemon x11-utils xdotool xclip openbox imagemagick fonts-wqy-microhei
  g++-mingw-w64-x86-64-posix wine wine64
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
