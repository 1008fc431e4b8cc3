#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need, when missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config     # compiler and build system
  qt6-base-dev qt6-qpa-plugins libgl-dev # Qt 6 Widgets, Print Support, Test
  qt6-svg-dev                          # sheets exported and copied as SVG pictures
  qt6-translations-l10n                # Qt's own texts in standard dialogs, in German and Italian
  libshp-dev                           # dBase tables (shapelib)
  fonts-liberation                     # metric twins of the fonts drawings ask for
  libx11-dev xvfb xauth                # the X11 smoke test in a virtual display
  poppler-utils                        # tests look at printed PDF pages as pictures
  libpoppler-qt6-dev                   # worksheets: PDF pages read and rendered
  qpdf                                 # tests make encrypted worksheets
  libxtst-dev                          # the recovery test types real keys into the X window
  librsvg2-bin                         # the application icon rendered from its SVG at build time
  dpkg-dev                             # cpack's DEB package: dependencies from dpkg-shlibdeps; hardening flags
  lintian                              # the package test checks the package with Debian's own checker
  desktop-file-utils appstream shared-mime-info # tests check the desktop files with the desktop's tools
  qt6-wayland weston                   # the program as a Wayland client, tested under a headless compositor
  qt6-base-private-dev                 # tests hand pen and cancelled touch events to Qt's window system interface
  at-spi2-core dbus-daemon python3-pyatspi # tests read the program as a screen reader does, over AT-SPI
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Missing packages: ${missing[*]}. Install them as root, or install sudo." >&2; exit 1; }
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
