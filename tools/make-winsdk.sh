#!/usr/bin/env bash
# make-winsdk.sh WORK: builds the libraries the programs need on Windows (x86_64-w64-mingw32)
# from Debian 12's own source packages with Debian's MinGW-w64 (POSIX threads), in the folder
# WORK, and packs them as WORK/winsdk.tar.xz (one top folder winsdk/, with its toolchain file).
# Nothing comes from anywhere but Debian's archive. Needs root for apt; 25 to 35 minutes on 2
# cores. tools/winsdk.sh runs it when the packed SDK is not at hand.
#   Qt 6.4.2: Core, Gui, Widgets, Test; platform plugins windows and offscreen; DirectWrite;
#             the bundled libpng, libjpeg, HarfBuzz, FreeType, PCRE2, zlib; no ICU, no OpenGL;
#             no tablet events (Debian's source leaves out wintab.h).
#   SDL2 2.26.5, SDL2_mixer 2.6.2: native MIDI (Windows' own synthesiser), MP3 (dr_mp3),
#             OGG (stb_vorbis), WAV, FLAC (dr_flac); no FluidSynth.
set -euo pipefail
work=${1:?usage: make-winsdk.sh WORK}
mkdir -p "$work" && work=$(cd "$work" && pwd)
prefix=$work/prefix
# Paths of the build folder are not kept in the libraries: they read /opt/winsdk instead.
map="-ffile-prefix-map=$work=/opt/winsdk"
mkdir -p "$work" && cd "$work"
export DEBIAN_FRONTEND=noninteractive
if ! grep -q 'deb-src' /etc/apt/sources.list.d/debian.sources 2>/dev/null; then
  sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
fi
apt-get update -q
apt-get install -y -q --no-install-recommends g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  mingw-w64-tools cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils
apt-get source --download-only qt6-base libsdl2 libsdl2-mixer

cat > toolchain.cmake <<EOT
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOT

[ -d qtbase-everywhere-src-6.4.2 ] || tar xJf qt6-base_6.4.2+dfsg.orig.tar.xz
cmake -S qtbase-everywhere-src-6.4.2 -B build-qt -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=$work/toolchain.cmake -DCMAKE_INSTALL_PREFIX=$prefix -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="$map" -DCMAKE_CXX_FLAGS="$map" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
  -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_testlib=ON -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF \
  -DFEATURE_system_jpeg=OFF -DFEATURE_freetype=ON -DFEATURE_icu=OFF \
  -DFEATURE_tabletevent=OFF
cmake --build build-qt --parallel 2
cmake --install build-qt

[ -d SDL2-2.26.5 ] || tar xzf libsdl2_2.26.5+dfsg.orig.tar.gz
cmake -S SDL2-2.26.5 -B build-sdl -G Ninja -DCMAKE_TOOLCHAIN_FILE=$work/toolchain.cmake \
  -DCMAKE_INSTALL_PREFIX=$prefix -DCMAKE_BUILD_TYPE=Release -DSDL_TEST=OFF -DSDL_STATIC=OFF \
  -DCMAKE_C_FLAGS="$map"
cmake --build build-sdl --parallel 2 && cmake --install build-sdl

[ -d SDL2_mixer-2.6.2 ] || tar xJf libsdl2-mixer_2.6.2+dfsg.orig.tar.xz
cmake -S SDL2_mixer-2.6.2 -B build-mixer -G Ninja -DCMAKE_TOOLCHAIN_FILE=$work/toolchain.cmake \
  -DCMAKE_INSTALL_PREFIX=$prefix -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=$prefix \
  -DCMAKE_C_FLAGS="$map" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_MIDI_NATIVE=ON \
  -DSDL2MIXER_MIDI_FLUIDSYNTH=OFF -DSDL2MIXER_MIDI_TIMIDITY=OFF -DSDL2MIXER_MP3_DRMP3=ON \
  -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_FLAC_DRFLAC=ON \
  -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_MOD=OFF
cmake --build build-mixer --parallel 2 && cmake --install build-mixer

find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} \;
# qmake's and pkg-config's files name the prefix; CMake's packages find it relative to themselves.
grep -rlI "$work" "$prefix" | xargs -r sed -i "s|$work|/opt/winsdk|g"
sed "s|set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)|set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 \${CMAKE_CURRENT_LIST_DIR})|" \
  toolchain.cmake > "$prefix/toolchain.cmake"
rm -rf "$work/pack" && mkdir -p "$work/pack" && cp -a "$prefix" "$work/pack/winsdk"
XZ_OPT='-T2 -6' tar -C "$work/pack" -cJf "$work/winsdk.tar.xz" winsdk
echo "made $work/winsdk.tar.xz"
