#!/usr/bin/env bash
# Installs what building and running Qel need on Debian or Ubuntu; with --test also what testing
# needs: the test and benchmark libraries, the private X server and the tools the tests drive,
# the Windows build (MinGW-w64) with Wine to run it, clang for the fuzz targets, pybind11 with
# pytest and numpy for the Python module, and a headless GNOME Wayland desktop (gnome-shell,
# PipeWire, the desktop portal). Does nothing when all of it is there already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libx11-dev libxext-dev libxcomposite-dev libxcb1-dev libfontconfig-dev
  libpipewire-0.3-dev fonts-wqy-microhei
)
case "${1:-}" in
  "") ;;
  --test)
    packages+=(
      libxtst-dev libxres-dev
      libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libopencv-dev
      xvfb xauth dbus-daemon x11-utils xdotool xclip openbox imagemagick
      g++-mingw-w64-x86-64-posix wine wine64
      clang libclang-rt-14-dev
      pybind11-dev python3-dev python3-pytest python3-numpy
      gnome-shell mutter pipewire wireplumber xdg-desktop-portal xdg-desktop-portal-gnome
      xdg-desktop-portal-gtk libglib2.0-bin
    )
    ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

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
