#!/usr/bin/env bash
# Renders the README's pictures from the real program: Tolvaran runs under
# Wine on a virtual display and in a Wine prefix of this script's own (never
# the user's), on a desktop of Wine's shell with a taskbar, first in English,
# then in Russian. tools/screenshots/shotscene sets it up and takes the
# pictures; sharingshots runs the share, get and progress dialogs with the
# rows that answers from other computers would bring.
#
#   scripts/screenshots.sh [--no-build] [--build DIR] [FOLDER]
#   scripts/screenshots.sh --list
#
# FOLDER is docs/images unless given; each picture is FOLDER/NAME.png, NAME
# from --list. --build names the 32-bit build (build/win32); --no-build uses
# it as it is. Every wait is bounded; the script ends only what it started.
set -euo pipefail
export TOLVARAN_ROOT
TOLVARAN_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVARAN_ROOT"
source scripts/lib/wine.sh
source scripts/lib/build.sh

languages=(en ru)
desktop=640x480
# From the running program, in both languages (tray only once: it has no words).
live=(stack-menu context-menu properties about clear-stack)
# The program's sharing dialogs, fed by a stand-in for the network.
sharing=(share get progress)

picture_names() {
  echo tray
  local language name
  for language in "${languages[@]}"; do
    for name in "${live[@]}" "${sharing[@]}"; do
      echo "$name-$language"
    done
  done
}

build=yes
build_dir="$TOLVARAN_ROOT/build/win32"
out="$TOLVARAN_ROOT/docs/images"
while [ $# -gt 0 ]; do
  case "$1" in
    --list) picture_names; exit 0 ;;
    --no-build) build="" ;;
    --build) build_dir=$(cd "$2" && pwd); shift ;;
    -*) echo "usage: $0 [--no-build] [--build DIR] [FOLDER] | --list" >&2; exit 2 ;;
    *) out=$1 ;;
  esac
  shift
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ -n "$build" ]; then
  scripts/install-deps.sh
  configure_preset win32
  cmake --build --preset win32 --target Tolvaran shotscene sharingshots tv_russian_locale
fi
bin="$build_dir/bin"
for program in Tolvaran shotscene sharingshots; do
  [ -f "$bin/$program.exe" ] || { echo "screenshots: $bin/$program.exe is missing; build first" >&2; exit 1; }
done
locale_dir="$build_dir/locale"
[ -d "$locale_dir/ru_RU.UTF-8" ] || { echo "screenshots: no Russian locale in $locale_dir; build tv_russian_locale" >&2; exit 1; }

work=$(mktemp -d "$build_dir/screenshots-run.XXXXXX")
prefix="$work/prefix"
# shellcheck disable=SC2317  # run by the trap
cleanup() {
  stop_prefix "$prefix"
  stop_display
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The display before any Wine process: a server started without one never
# recovers. As large as Wine's desktop: Wine moves the pointer only while it
# is over the desktop, and a display puts it back in the middle whenever its
# last program leaves.
start_display "$desktop"
make_prefix "$TOLVARAN_ROOT/build/wine/made-prefix"
fresh_prefix "$TOLVARAN_ROOT/build/wine/made-prefix" "$prefix"
# The pictures show Windows' own fonts.
add_wine_fonts "$prefix"
# Every program of the prefix runs on one virtual desktop with Wine's
# taskbar: the tray buttons sit in its notification area, and windows get
# their frames and captions without a window manager.
in_prefix "$prefix" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
in_prefix "$prefix" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$desktop" /f >/dev/null 2>&1

windows_path() {
  local path=${1//\//\\}
  echo "Z:$path"
}

# Runs a program of the build in the prefix, in a language, for at most 120 s.
run_in() {
  local language=$1
  shift
  local settings=(LC_ALL=C.UTF-8)
  [ "$language" = ru ] && settings=(LC_ALL=ru_RU.UTF-8 LOCPATH="$locale_dir")
  env "${settings[@]}" TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home" \
    timeout 120 "$TOLVARAN_ROOT/scripts/wine-run" "$@"
}

status=0
for language in "${languages[@]}"; do
  # A new session: Wine's desktop and every program start in this language.
  stop_prefix "$prefix"
  run_in "$language" wineserver -p
  # Started now, Wine's service processes do not hold on to a caller's pipes.
  run_in "$language" cmd /c exit </dev/null >/dev/null 2>&1 || true
  run_in "$language" "$bin/shotscene.exe" prepare "$language" || status=1
  mkdir -p "$work/$language"
  run_in "$language" "$bin/shotscene.exe" scene "$(windows_path "$work/$language")" "$language" || status=1
  run_in "$language" "$bin/sharingshots.exe" "$(windows_path "$work/$language")" "$language" >/dev/null || status=1
done
stop_prefix "$prefix"

# Palette PNGs (the pictures have a few dozen colours), with nothing in them
# that changes from run to run.
to_png() {
  local from=$1 name=$2
  shift 2
  rm -f "$out/$name.png"
  if [ ! -s "$from" ]; then
    echo "screenshots: $name: no picture" >&2
    status=1
    return
  fi
  convert "$from" "$@" -strip -define png:exclude-chunks=date,time "$out/$name.png"
  echo "screenshots: $name.png $(identify -format '%wx%h' "$out/$name.png") $(stat -c %s "$out/$name.png") bytes"
}

# The tray is tiny: three times its size, pixels kept square.
to_png "$work/en/tray.bmp" tray -scale 300%
for language in "${languages[@]}"; do
  for name in "${live[@]}"; do
    to_png "$work/$language/$name.bmp" "$name-$language"
  done
  for name in "${sharing[@]}"; do
    to_png "$work/$language/$name-$language.bmp" "$name-$language"
  done
done
exit "$status"
