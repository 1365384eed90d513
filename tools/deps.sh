#!/usr/bin/env bash
# Installs the Debian packages Velmora builds, tests and runs with, when missing.
# tools/deps.sh PACKAGE... installs those instead (tools/test-windows.sh does).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev libsqlite3-dev libjpeg62-turbo-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xclip xdotool fonts-wqy-microhei libjpeg-turbo-progs
  librsvg2-bin desktop-file-utils appstream shared-mime-info libxml2-utils
  dpkg-dev fakeroot file lintian
  # the package installed into a minimal Debian 12 (tools/test-package.sh)
  debootstrap
  libxcb1-dev libxcb-shm0-dev x11-utils x11-xserver-utils
  # kept server passwords (libsecret), and the keyring its tests start on a private session bus
  libsecret-1-dev gnome-keyring
  # the desktops' own settings stores and clients, on a private session bus in the tests
  dbus-daemon dbus-bin libglib2.0-bin dconf-gsettings-backend gsettings-desktop-schemas
  mate-desktop-common cinnamon-desktop-data xfconf libxfconf-0-3
  sway swaybg qt6-wayland
  # server collections (libpq), and the PostgreSQL server their tests start (tools/test-server.sh)
  libpq-dev postgresql-15
  # the stand-in for the Plasma shell's D-Bus service
  python3-dbus python3-gi
)
(($#)) && packages=("$@")

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
