#!/usr/bin/env bash
# Regenerates the pictures of the built-in UI styles in resources/styles/ (and the list of them in
# resources/Styles.rc) with styleart, then renders the gallery of all of them to build/gallery.bmp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" native >/dev/null
out="$root/resources/styles"
rm -f "$out"/*.bmp
"$root/build/native/tools/styleart/styleart" "$out"
{
  echo '// The pictures of the built-in UI styles and the shared menu and form pictures, drawn by'
  echo '// tools/styleart (scripts/make-styles.sh regenerates them).'
  for f in $(cd "$out" && ls *.bmp | LC_ALL=C sort); do
    printf '%s BITMAP "styles/%s"\n' "${f%.bmp}" "$f"
  done
} > "$root/resources/Styles.rc"
"$root/build/native/tools/gallery/gallery" "$out" "$root/build/gallery.bmp"
echo "gallery: $root/build/gallery.bmp"
