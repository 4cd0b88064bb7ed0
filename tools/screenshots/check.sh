#!/usr/bin/env bash
# The README's pictures still hold: every picture README.md shows is in
# docs/images, every picture scripts/screenshots.sh makes is there too, and
# the script still renders each one from the program as it is now, into a
# scratch folder: a PNG of plausible size.
#
#   check.sh BUILD_DIR SCRATCH
#
# The committed pictures are compared with the fresh ones, but a difference
# is only reported: fonts and Wine versions change pixels without anything
# being wrong. Refresh them with "bash scripts/screenshots.sh" and commit.
set -u
build=$1
scratch=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
images="$root/docs/images"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

mapfile -t expected < <(bash "$root/scripts/screenshots.sh" --list)
[ "${#expected[@]}" -gt 0 ] || fail "scripts/screenshots.sh --list names no picture"

# What the README shows, as Markdown images or links: docs/images/NAME.png.
mapfile -t shown < <(grep -oE 'docs/images/[A-Za-z0-9._-]+' "$root/README.md" | sort -u)
[ "${#shown[@]}" -gt 0 ] || fail "README.md shows no picture from docs/images"
for path in "${shown[@]}"; do
  [ -s "$root/$path" ] || fail "README.md shows $path, which is not in the repository"
done
for name in "${expected[@]}"; do
  [ -s "$images/$name.png" ] || fail "docs/images/$name.png is missing: run scripts/screenshots.sh and commit what it makes"
done

rm -rf "$scratch"
mkdir -p "$scratch"
log="$scratch.log"
start=$SECONDS
if ! timeout 170 bash "$root/scripts/screenshots.sh" --no-build --build "$build" "$scratch" >"$log" 2>&1; then
  fail "scripts/screenshots.sh failed; its output:"
  cat "$log"
fi
echo "scripts/screenshots.sh took $((SECONDS - start)) s"

differ=()
for name in "${expected[@]}"; do
  fresh="$scratch/$name.png"
  if [ ! -s "$fresh" ]; then
    fail "$name.png was not rendered"
    continue
  fi
  if ! size=$(identify -format '%m %w %h' "$fresh" 2>/dev/null); then
    fail "$name.png is not a picture ImageMagick can read"
    continue
  fi
  read -r format width height <<<"$size"
  bytes=$(stat -c %s "$fresh")
  [ "$format" = PNG ] || fail "$name.png is $format, not PNG"
  if [ "$width" -lt 60 ] || [ "$width" -gt 640 ] || [ "$height" -lt 40 ] || [ "$height" -gt 480 ]; then
    fail "$name.png is ${width}x${height}: not a cropped window of the 640x480 desktop"
  fi
  if [ "$bytes" -lt 300 ] || [ "$bytes" -gt 100000 ]; then
    fail "$name.png has $bytes bytes: blank, or not cropped"
  fi
  committed="$images/$name.png"
  if [ -s "$committed" ] && ! cmp -s "$committed" "$fresh"; then
    was=$(identify -format '%wx%h' "$committed" 2>/dev/null || echo '?')
    if [ "$was" != "${width}x${height}" ]; then
      differ+=("$name (${was}, now ${width}x${height})")
    else
      pixels=$(compare -metric AE "$committed" "$fresh" null: 2>&1) || true
      differ+=("$name (${pixels:-?} pixels)")
    fi
  fi
done
if [ "${#differ[@]}" -gt 0 ]; then
  echo "note: these committed pictures differ from the fresh ones: ${differ[*]}"
  echo "note: to refresh them: bash scripts/screenshots.sh, then commit docs/images"
else
  echo "the committed pictures equal the fresh ones"
fi

if [ "$failures" -gt 0 ]; then
  echo "screenshots: $failures problems"
  exit 1
fi
echo "screenshots: ${#expected[@]} pictures rendered, ${#shown[@]} shown in README.md, all there"
