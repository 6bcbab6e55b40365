#!/usr/bin/env bash
# Checks what a user gets: installs the build into a temporary prefix, validates the desktop
# entries and AppStream files, starts the installed programs on games given by folder from
# another current folder (on Xvfb, looking at their windows), and builds and checks the
# Debian package. Called by tools/test.sh after the build.
set -euo pipefail
build=$(realpath "${1:-build}")
source_dir=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d "${TMPDIR:-/tmp}/taletools-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null
for size in 48 128 256; do
  for id in example.tavrin.talerun example.tavrin.scriptwell; do
    [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "no $size px icon for $id"
  done
done

for program in talerun scriptwell; do
  "$prefix/bin/$program" --help | grep -q FOLDER || fail "$program --help says nothing of FOLDER"
  "$prefix/bin/$program" --version | grep -q "^$program " || fail "$program --version"
  set +e
  "$prefix/bin/$program" "$work/no such folder" 2>"$work/err" >/dev/null
  status=$?
  set -e
  [ "$status" = 2 ] || fail "$program on a missing folder exited $status, not 2"
  [ "$(wc -l <"$work/err")" = 1 ] || fail "$program on a missing folder: not one line on stderr"
done

# The installed guide finds every picture it shows, by its relative path.
guide="$prefix/share/taletools/guide"
pictures=$(grep -o '<img src="[^"]*"' "$guide/index.html" | sed 's/^<img src="//; s/"$//')
[ -n "$pictures" ] || fail "the guide shows no pictures"
for picture in $pictures; do
  case $picture in /* | *:*) fail "the guide's picture $picture is not a relative path" ;; esac
  [ -f "$guide/$picture" ] || fail "the installed guide lacks its picture $picture"
done

# A game to open, away from the current folder; the installed demo must not be the source's.
cp -r "$prefix/share/taletools/demo" "$work/game"
mkdir "$work/elsewhere"
cp -r "$work/game" "$work/damaged"
printf 'stray\r\n' >>"$work/damaged/Game.txt"
cp -r "$work/game" "$work/taken"

cat >"$work/windows.sh" <<'SCRIPT'
#!/usr/bin/env bash
# Runs on the Xvfb display: starts each program and waits for the window it must show.
set -euo pipefail
prefix=$1 work=$2
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" # leave the user's recent games alone
openbox --sm-disable >/dev/null 2>&1 & # a desktop's window manager, to give focus
wm=$!
# Only the window manager: a program killed before may be gone already, which is no failure.
trap 'kill $wm 2>/dev/null || true' EXIT
sleep 1
see() { # see TITLE: the window appears within 20 s
  for _ in $(seq 100); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  echo "check-install: no window titled $1" >&2
  return 1
}
cd "$work/elsewhere"
"$prefix/bin/talerun" "$work/game" & pid=$!
see '灯塔之光'; kill $pid
"$prefix/bin/scriptwell" "$work/damaged" & pid=$!
see '警告:'; kill $pid
"$prefix/bin/scriptwell" --new "$work/new game" & pid=$!
see '游戏编辑'; kill $pid
if "$prefix/bin/scriptwell" --new "$work/taken" 2>/dev/null; then
  echo "check-install: --new on a folder holding a game did not fail" >&2; exit 1
fi
# From the menu: the chooser, then its demo button (Alt+D) opens the installed demo.
"$prefix/bin/talerun" --choose & pid=$!
see 'talerun - 选择要玩的游戏'
xdotool search --name '^talerun - ' windowactivate --sync key alt+d
see '灯塔之光'; kill $pid
SCRIPT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
  bash "$work/windows.sh" "$prefix" "$work" 2>"$work/windows.log" \
  || { cat "$work/windows.log" >&2; fail "the installed programs did not show their windows"; }
printf '"new game","","","100","0"\r\n' | cmp -s - "$work/new game/Game.ini" \
  || fail "scriptwell --new wrote another Game.ini"
[ -f "$work/new game/Game.txt" ] && [ ! -s "$work/new game/Game.txt" ] || fail "no empty Game.txt"
for sub in BG Msg Music; do [ -d "$work/new game/$sub" ] || fail "no $sub in the new game"; done

# The installed editor publishes with what it carries (the page's script is built in), from a
# folder where no source tree or Node lies.
(cd "$work/elsewhere" && PATH=/usr/bin:/bin "$prefix/bin/scriptwell" --publish "$work/game" "$work/page" \
  >"$work/page.list" 2>/dev/null) || fail "the installed scriptwell did not publish the demo"
for file in index.html tale.js game.js font-1-1.woff2 sw.js manifest.webmanifest icon-192.png \
    Music/1.mp3 BG/over.jpg; do
  [ -s "$work/page/$file" ] || fail "the published demo lacks $file"
done
[ -s "$work/page.zip" ] || fail "no zip beside the published demo"
cmp -s "$work/page/tale.js" "$build/publish/tale.js" || fail "the published page's script is not the one built"

# The Debian package: its contents and lintian's verdict.
(cd "$build" && rm -f taletools_*.deb && cpack -G DEB >/dev/null 2>&1)
deb=$(ls "$build"/taletools_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/talerun ./usr/bin/scriptwell \
  ./usr/share/applications/example.tavrin.talerun.desktop \
  ./usr/share/applications/example.tavrin.scriptwell.desktop \
  ./usr/share/metainfo/example.tavrin.talerun.metainfo.xml \
  ./usr/share/taletools/demo/Game.txt ./usr/share/taletools/guide/index.html \
  ./usr/share/taletools/screenshots/guide-add.png \
  ./usr/share/doc/taletools/copyright; do
  grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done
dpkg-deb -f "$deb" Depends | grep -q timgm6mb-soundfont || fail "the package does not depend on the sound font"
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n || fail "the package does not depend on Qt's translations"
lintian --fail-on error "$deb" 2>/dev/null
echo "check-install: installed tree, programs, package: all fine ($(basename "$deb"))"
