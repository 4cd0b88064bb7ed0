#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Does nothing when they are all there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ python3 locales procps
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth xclip xdotool imagemagick
  googletest libbenchmark-dev clang libclang-rt-14-dev
  iproute2 util-linux
  shellcheck
  nsis
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "install-deps: installing ${missing[*]}"
# The 32-bit Wine comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# A mirror in the middle of a sync fails one index now and then: try again,
# and go on with what was fetched, since the install itself says what is missing.
for attempt in 1 2 3; do
  $sudo apt-get update -q && break
  echo "install-deps: apt-get update failed (attempt $attempt)" >&2
  sleep 5
done
install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" "${missing[@]}"
}
if ! install; then
  # 32-bit and 64-bit copies of a library must have the same version. While
  # the security suite's i386 index lags its amd64 one, that cannot be met:
  # take both from the release suites alone.
  echo "install-deps: trying again with the release suites only" >&2
  lists=$(mktemp)
  printf 'deb http://deb.debian.org/debian bookworm main\ndeb http://deb.debian.org/debian bookworm-updates main\n' >"$lists"
  release=(-o Dir::Etc::SourceList="$lists" -o Dir::Etc::SourceParts=/nonexistent)
  $sudo apt-get "${release[@]}" update -q || true
  install "${release[@]}"
  rm -f "$lists"
fi
