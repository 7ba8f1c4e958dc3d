#!/usr/bin/env bash
# Installs a built package with apt on a fresh Debian 12 (a debootstrap chroot) and starts the
# program there: --help, --version, and a start on the offscreen platform ended by SIGTERM.
# Needs root and network access to deb.debian.org.
#   scripts/check-package.sh build/quayrow2_2.0.0_amd64.deb [/tmp/quayrow2-package-check]
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: $0 PACKAGE.deb [CHROOT]" >&2; exit 2; }
package=$(realpath "$1")
root=${2:-/tmp/quayrow2-package-check}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp "$package" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$package")"
in_root dpkg -L quayrow2
in_root quayrow2 --help
in_root quayrow2 --version

# A real start: the platform plugin loads and the program runs until SIGTERM, which ends it
# cleanly (exit status 0).
status=0
in_root mkdir -p -m 700 /tmp/check-runtime
in_root env XDG_CONFIG_HOME=/tmp/check-config XDG_RUNTIME_DIR=/tmp/check-runtime QT_QPA_PLATFORM=offscreen \
  timeout --preserve-status -s TERM 5 quayrow2 || status=$?
[ "$status" -eq 0 ] || { echo "check-package: the program ended with $status" >&2; exit 1; }
in_root test -s "/tmp/check-config/Quayrow 2/configuration.json"
echo "check-package: $(basename "$package") installs and runs on Debian 12"
