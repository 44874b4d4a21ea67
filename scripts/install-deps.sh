#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kestrune need.
# Does nothing when every package is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang
  # CI: a script finds the sources its batched build must compile alone, and lld links.
  python3 lld
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libx11-dev libxcb1-dev libfreetype-dev libfontconfig-dev libharfbuzz-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libvorbis-dev libimgui-dev libstb-dev libpng-dev
  libpixman-1-dev
  # The movie libraries decode with FFmpeg; the tests make their clips with its encoders.
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev
  # Benchmarks only: the interpreter is compared with Lua 5.4.
  liblua5.4-dev
  xvfb xauth locales
  # The window tests press keys on the virtual display through its test extension, and size and
  # place the game's window through a window manager: openbox, which tells of the frame it gives
  # a window before the window shows, and fluxbox, which tells of it only after.
  libxcb-xtest0-dev openbox fluxbox
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
