#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, test and run, when missing; and
# the Windows SDK the Windows build is made with (tools/winsdk.sh).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-translations-l10n libsdl2-mixer-dev libfluidsynth-dev timgm6mb-soundfont
  fonts-wqy-microhei fonts-dejavu-core libfontconfig-dev
  esbuild libharfbuzz-dev libwoff-dev libzip-dev libmp3lame-dev nodejs node-typescript chromium
  firefox-esr
  libbenchmark-dev
  xvfb xauth openbox xdotool x11-utils dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi
  orca speech-dispatcher speech-dispatcher-audio-plugins speech-dispatcher-espeak-ng espeak-ng
  librsvg2-bin desktop-file-utils appstream lintian dpkg-dev file
  ccache
  # The Windows build: MinGW-w64 (POSIX threads), Qt's host tools (moc, rcc, uic) of the SDK's
  # version, the icons' .ico, Wine to run the programs and their tests, NSIS and zip to ship.
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools qt6-base-dev-tools
  icoutils wine wine64 nsis zip
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

# npm comes with some builds of nodejs; Debian's own is a package of its own.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The browser tests drive Chromium and Firefox with puppeteer-core and check the page with
# axe-core: the versions tests/browser/package-lock.json names, installed beside it.
browser_tests="$(dirname "$0")/../tests/browser"
if [ ! -d "$browser_tests/node_modules/puppeteer-core" ] ||
   [ "$browser_tests/package-lock.json" -nt "$browser_tests/node_modules/.package-lock.json" ]; then
  (cd "$browser_tests" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi

bash "$(dirname "$0")/winsdk.sh"
