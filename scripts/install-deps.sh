#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the program need.
#   install-deps.sh           the build (GCC), the program and the test suite
#   install-deps.sh --clang   additionally what only the clang builds need (fuzzing, sanitizers)
#   install-deps.sh --wayland additionally the headless Wayland compositors of the XWayland tests
# Works as root or through sudo. Idempotent: does nothing (and prints nothing) when all are present.
set -euo pipefail

# One package a line, so that additions merge cleanly.
packages=(
  # build
  build-essential
  cmake
  pkg-config
  qt6-base-dev
  qt6-base-dev-tools
  libqt6svg6
  qt6-image-formats-plugins
  qt6-qpa-plugins
  libglib2.0-dev
  libjpeg-dev
  libxcb1-dev
  libxcb-ewmh-dev
  libxcb-xfixes0-dev
  libsimdjson-dev
  libstartup-notification0-dev
  libxcb-res0-dev
  qt6-base-private-dev
  zlib1g-dev
  # packaging (.deb through CPack) and checks of the desktop metadata
  dpkg-dev
  appstream
  # real-window and desktop tests
  xvfb
  openbox
  fluxbox
  xdotool
  x11-utils
  x11-xserver-utils
  picom
  trayer
  adwaita-icon-theme
  fonts-dejavu-core
  dbus
  dbus-x11
  shared-mime-info
  desktop-file-utils
  # the accessibility test: the AT-SPI bus and a client of it for Debian's python3
  at-spi2-core
  python3-pyatspi
  # screenshots (scripts/screenshot.sh)
  imagemagick
  # benchmarks: first paint seen through the damage extension; a light panel to compare with
  libxcb-damage0-dev
  tint2
)

clang_packages=(
  clang
  libclang-rt-14-dev
  # llvm-symbolizer, which turns the sanitizers' addresses into functions and lines
  llvm-14
)

wayland_packages=(
  weston
  sway
  xwayland
)

case "${1-}" in
  "") ;;
  --clang) packages+=("${clang_packages[@]}") ;;
  --wayland) packages+=("${wayland_packages[@]}") ;;
  *)
    echo "usage: $0 [--clang | --wayland]" >&2
    exit 1
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: these packages are missing: ${missing[*]}" >&2
  echo "install-deps: run this script as root, or install sudo, to install them" >&2
  exit 1
fi

echo "install-deps: installing ${#missing[@]} packages: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
# sudo resets the environment, so the front end is set on the far side of it.
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
