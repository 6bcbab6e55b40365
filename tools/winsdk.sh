#!/usr/bin/env bash
# Puts the Windows SDK (Qt, SDL2 and SDL2_mixer for x86_64-w64-mingw32) where the `windows`
# preset finds it, build-winsdk/winsdk: unpacked from ../shared/winsdk/winsdk.tar.xz beside the
# repository when it is there (and newer than what was unpacked), else made from Debian's own
# source packages by tools/make-winsdk.sh (25 to 35 minutes on 2 cores, once).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dest=$top/build-winsdk
archive=$top/../shared/winsdk/winsdk.tar.xz
mark=$dest/winsdk/toolchain.cmake
if [ -f "$archive" ]; then
  if [ ! -f "$mark" ] || [ "$archive" -nt "$mark" ]; then
    rm -rf "$dest/winsdk" && mkdir -p "$dest"
    tar -xJf "$archive" -C "$dest"
    touch "$mark"
  fi
elif [ ! -f "$mark" ]; then
  bash "$top/tools/make-winsdk.sh" "$dest/work"
  rm -rf "$dest/winsdk" && mkdir -p "$dest"
  tar -xJf "$dest/work/winsdk.tar.xz" -C "$dest"
fi
