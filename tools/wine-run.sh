#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS…]: runs a program of the Windows build (build-windows) under
# Wine, as ctest does for the Windows tests: it finds the SDK's DLLs, MinGW's runtime and Qt's
# plugins where the build left them, in a Wine prefix of the build's own (made at the first run).
# The caller gives the display (tools/test-windows.sh starts a private Xvfb); Qt draws through
# its `windows` platform plugin, as on Windows.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
sdk=${TALE_WINSDK:-$top/build-winsdk/winsdk}
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
# Wine's drive Z: is the root of this system.
windows_path() { local p=$1; echo "Z:${p//\//\\}"; }
export WINEPREFIX=${WINEPREFIX:-$top/build-windows/wine}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer at the prefix's first start: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH="$(windows_path "$sdk/bin");$(windows_path "$gcc_dir");$(windows_path /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH=$(windows_path "$sdk/plugins")
export QT_QPA_PLATFORM=${TALE_WINE_QPA:-windows}
exec wine "$@"
