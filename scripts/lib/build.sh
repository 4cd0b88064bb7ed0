# shellcheck shell=bash
# Shared by the run, test and picture scripts: configuring a preset's build
# folder. Source it; it defines functions only.

# Configures build/$1 with the preset of that name. A build folder that came
# along with a copied or moved checkout names the folders it was made in, and
# CMake refuses it: such a one is made anew here (its contents are only
# build products).
configure_preset() {
  local preset=$1
  local dir="$TOLVARAN_ROOT/build/$preset"
  local cache="$dir/CMakeCache.txt"
  if [ -f "$cache" ]; then
    local made_in source
    made_in=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$cache")
    source=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
    if [ "$made_in" != "$(cd "$dir" && pwd -P)" ] || [ "$source" != "$(cd "$TOLVARAN_ROOT" && pwd -P)" ]; then
      echo "build/$preset was made for $source: making it anew for this checkout"
      rm -rf "$dir"
    fi
  fi
  cmake --preset "$preset" >/dev/null
}
