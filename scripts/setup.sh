#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev
  fonts-liberation2
  python3 python3-ezdxf python3-dbfread
  librecad ghostscript
  locales
  # Packaging and the desktop files: cpack's dependency list, the
  # validators, the MIME database, the man page renderer.
  dpkg-dev desktop-file-utils appstream shared-mime-info groff-base
  # Qt's own buttons and dialogs in German and Italian.
  qt6-translations-l10n
  # The fuzz targets: clang with libFuzzer and its sanitizer runtimes.
  clang libclang-rt-dev
  # Renders the icon's PNG sizes from its SVG (scripts/render-icons.sh).
  librsvg2-bin
  # The output layer: PNG written row by row, SVG through Qt; the tests
  # read the PDFs back with poppler's tools.
  libpng-dev qt6-svg-dev poppler-utils
  # scripts/constructions-under-xvfb.sh: the program on a virtual screen,
  # driven by xdotool, looked at through ImageMagick's screenshots.
  xvfb xdotool imagemagick x11-utils
)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the tests that check that exported
# numbers keep their full stop.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the locale de_DE.UTF-8"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
