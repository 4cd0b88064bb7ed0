# shellcheck shell=bash
# Shared by the run and test scripts: a virtual display and a Wine prefix of
# the project's own. Source it; it defines functions only.

# Starts Xvfb on a free display number, of size $1 (1280x1024 unless
# given); sets DISPLAY and XVFB_PID.
start_display() {
  local size=${1:-1280x1024}
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  if ! read -r -t 20 number <"$fifo"; then
    rm -f "$fifo"
    echo "Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$number"
}

stop_display() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

# Runs a Wine tool in prefix $1, with a home folder of its own beside it.
in_prefix() {
  local prefix=$1
  shift
  TOLVARAN_WINEPREFIX="$prefix" TOLVARAN_WINEHOME="$prefix.home" "$TOLVARAN_ROOT/scripts/wine-run" "$@"
}

# Makes prefix $1 once (it takes a while) and keeps it for later runs: a
# 64-bit Windows, or the one $2 names (win32 for a 32-bit one). Windows are
# left unmanaged: with no window manager on a virtual display, hiding a
# managed window waits two seconds for a state change that never comes.
make_prefix() {
  local prefix=$1 arch=${2:-win64}
  local stamp="$prefix/.tolvaran-made-by"
  local version
  version=$(wine --version)
  [ "$arch" = win64 ] || version="$version $arch"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    return 0
  fi
  rm -rf "$prefix" "$prefix.home"
  mkdir -p "$prefix.home"
  echo "Making a Wine prefix in $prefix (once)..."
  WINEARCH=$arch in_prefix "$prefix" wineboot -i >/dev/null 2>&1
  in_prefix "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  in_prefix "$prefix" wineserver -w
  # The user folders (Documents among them) start as links to $HOME: make
  # them real folders, so each copy of the prefix keeps its files to itself.
  find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm "$link"
    mkdir -p "$link"
  done
  echo "$version" >"$stamp"
}

# Copies the made prefix $1 to a clean one, $2, and starts its server.
fresh_prefix() {
  local made=$1 fresh=$2
  stop_prefix "$fresh"
  rm -rf "$fresh" "$fresh.home"
  cp -a "$made" "$fresh"
  mkdir -p "$fresh.home"
  # Debian's wine notes the server's private folder in the prefix: not to be shared.
  rm -f "$fresh/wineserver"
  in_prefix "$fresh" wineserver -p
  # Started now, Wine's service processes do not hold on to a test runner's pipes.
  in_prefix "$fresh" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_prefix() {
  local prefix=$1
  if [ -d "$prefix" ]; then
    in_prefix "$prefix" wineserver -k >/dev/null 2>&1 || true
    in_prefix "$prefix" wineserver -w >/dev/null 2>&1 || true
  fi
}

# Gives prefix $1 Wine's own fonts (Tahoma, MS Sans Serif, Marlett for the
# caption buttons), so that its windows are drawn and measured as on
# Windows. Debian's wine comes without them and does not look for them
# where their package, fonts-wine (scripts/install-deps.sh), puts them.
add_wine_fonts() {
  local fonts=/usr/share/wine/fonts font
  for font in marlett.ttf tahoma.ttf; do
    [ -f "$fonts/$font" ] || { echo "$fonts/$font is missing: run scripts/install-deps.sh" >&2; return 1; }
  done
  cp "$fonts"/* "$1/drive_c/windows/Fonts/"
}
