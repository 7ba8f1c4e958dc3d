#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the program needs.
# Idempotent: does nothing (and prints nothing) when all of them are present.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins qt6-qpa-plugins
  libglib2.0-dev libxcb1-dev libxcb-ewmh-dev zlib1g-dev
  libjpeg-dev  # the image benchmark writes its huge JPEGs row by row
  # fuzzing (libFuzzer runtime)
  clang libclang-rt-14-dev
  # real-window and desktop tests
  xvfb openbox xdotool x11-utils x11-xserver-utils picom trayer
  adwaita-icon-theme fonts-dejavu-core dbus dbus-x11 shared-mime-info desktop-file-utils
)

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
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
