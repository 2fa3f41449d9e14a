#!/usr/bin/env bash
# styleart draws exactly the committed pictures of resources/styles (so the pictures the program
# carries can always be drawn again), and the gallery renders them or says what is missing.
set -u
styleart=$1 gallery=$2 root=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

"$styleart" "$work/art" >/dev/null || { echo "styleart failed"; exit 1; }
diff -r "$work/art" "$root/resources/styles" >/dev/null || { echo "styleart's pictures differ from resources/styles"; fail=1; }
# Every picture the resource script names is drawn.
while read -r name _ file; do
  [ -f "$work/art/${name}.bmp" ] || { echo "not drawn: $name"; fail=1; }
done < <(grep ' BITMAP ' "$root/resources/Styles.rc")

"$gallery" "$work/art" "$work/gallery.bmp" || { echo "gallery failed"; fail=1; }
[ "$(head -c 2 "$work/gallery.bmp")" = "BM" ] || { echo "gallery wrote no BMP"; fail=1; }

rm "$work/art/PROTEIN_TITLEBTN.bmp"
"$gallery" "$work/art" "$work/g2.bmp" 2>"$work/err"
[ $? = 1 ] && grep -q PROTEIN_TITLEBTN "$work/err" || { echo "gallery did not report the missing picture"; fail=1; }
"$gallery" >/dev/null 2>&1
[ $? = 2 ] || { echo "gallery without arguments: expected exit 2"; fail=1; }
"$styleart" >/dev/null 2>&1
[ $? = 2 ] || { echo "styleart without arguments: expected exit 2"; fail=1; }
exit $fail
