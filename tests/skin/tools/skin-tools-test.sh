#!/usr/bin/env bash
# skinpack writes what skindump reads back, and skindump's exit status tells loaded (0), failed
# (1), rejected (2) and malformed (3) apart.
set -u
skinpack=$1 skindump=$2 root=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
expect() {  # expect STATUS ARGS...
  local want=$1; shift
  "$skindump" "$@" >"$work/out" 2>/dev/null
  local got=$?
  [ "$got" = "$want" ] || { echo "skindump $*: exit $got, expected $want"; fail=1; }
}

printf 'bitmap PIC pic.bmp\ncolor C #102030\ninteger N -5\nboolean B 2\nstring S "a \\"q\\""\n' >"$work/d.txt"
# A 1 x 1 24-bit BMP.
printf 'BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x02\x03\0' >"$work/pic.bmp"
"$skinpack" "$work/d.txt" "$work/plain.ssk" >/dev/null || { echo "skinpack failed"; exit 1; }
"$skinpack" --password pw "$work/d.txt" "$work/locked.ssk" >/dev/null || exit 1

expect 0 "$work/plain.ssk"
want=$'bitmap PIC 1x1\ninteger C 3153936\ninteger N -5\nboolean B 1\nstring S "a \\"q\\""'
[ "$(cat "$work/out")" = "$want" ] || { echo "unexpected listing:"; cat "$work/out"; fail=1; }
expect 0 "$work/locked.ssk" pw
expect 2 "$work/locked.ssk"
expect 2 "$work/locked.ssk" wrong
expect 1 "$work/missing.ssk"
printf 'PK' | dd of="$work/plain.ssk" conv=notrunc 2>/dev/null
expect 1 "$work/plain.ssk"
# A description whose bitmap skinpack accepts but with its header size patched: malformed data.
"$skinpack" --store "$work/d.txt" "$work/stored.ssk" >/dev/null
# Member data starts after the 30-byte local header and the 12-byte name, behind 5 bytes of the
# stored block header; offset 12 of the data is the header size.
printf '\x19' | dd of="$work/stored.ssk" bs=1 seek=$((30 + 12 + 5 + 12)) conv=notrunc 2>/dev/null
expect 3 "$work/stored.ssk"
expect 0 "$root/resources/Silver.ssk"
exit $fail
