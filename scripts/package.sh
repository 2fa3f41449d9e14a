#!/usr/bin/env bash
# Builds a release into dist/:
#   Quiverdir-<version>-win32.zip    the portable program
#   Quiverdir-<version>-setup.exe    the setup program (NSIS)
#   SHA256SUMS                       the SHA-256 sums of both
# The version is the project's (CMakeLists.txt). The program is built in build/release (Release,
# stripped); extra arguments go to its cmake configure step. The same sources give byte-identical
# files: the executable carries no link time (so it does not depend on when it was last linked),
# and every packed file gets one fixed time, SOURCE_DATE_EPOCH when set, else the last commit's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

build="$root/build/release"
stage="$build/stage"
dist="$root/dist"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
  # Outside a git checkout: 2026-01-01 00:00 UTC.
  [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=1767225600
fi
export SOURCE_DATE_EPOCH
if [ -n "$(git -C "$root" status --porcelain 2>/dev/null)" ]; then
  echo "Note: the work tree has uncommitted changes; this release is not exactly a commit's." >&2
fi

echo "== Building the program (build/release)"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$root/=" "-DCMAKE_C_FLAGS=-ffile-prefix-map=$root/=" \
  "-DCMAKE_EXE_LINKER_FLAGS=-s -Wl,--no-insert-timestamp" \
  "$@" >/dev/null
cmake --build "$build" --target Quiverdir QuiverdirMenu -j"$(nproc)" >/dev/null
# QD_VERSION, QD_VERSION_QUAD, QD_PUBLISHER, QD_COPYRIGHT, written by CMake from the project.
. "$build/release-info.sh"

echo "== Staging Quiverdir $QD_VERSION"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/app/Quiverdir.exe" "$stage/Quiverdir.exe"
cp "$build/app/QuiverdirMenu.exe" "$stage/QuiverdirMenu.exe"
cp resources/Silver.ssk "$stage/Silver.ssk"
cp resources/help/Quiverdir.html "$stage/Quiverdir.html"
# Texts for Notepad: UTF-8 with a byte order mark (else older Notepads take the Chinese for ANSI),
# CRLF line ends.
crlf() { sed 's/\r$//; s/$/\r/'; }
{
  printf '\xEF\xBB\xBF'
  sed -e "s|@VERSION@|$QD_VERSION|g" -e "s|@COPYRIGHT@|$QD_COPYRIGHT|g" resources/release/ReadMe.txt.in | crlf
} >"$stage/ReadMe.txt"
crlf <LICENSE >"$stage/License.txt"
# The licence of the Unicode Han database, whose readings give the folder menu its pinyin initials
# (the build copies it from Debian's unicode-data).
crlf <"$build/app/Unihan-License.txt" >"$stage/Unihan-License.txt"
chmod 0644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

# The files in the order they are packed. options.ini is the user's: never shipped.
files=(Quiverdir.exe QuiverdirMenu.exe Silver.ssk Quiverdir.html ReadMe.txt License.txt Unihan-License.txt)

mkdir -p "$dist"
rm -f "$dist"/Quiverdir-*-win32.zip "$dist"/Quiverdir-*-setup.exe "$dist/SHA256SUMS"
zip_name="Quiverdir-$QD_VERSION-win32.zip"
setup_name="Quiverdir-$QD_VERSION-setup.exe"

echo "== $zip_name"
# -X: no extra fields (owner, Unix times); the times zip keeps are local: UTC makes them fixed.
(cd "$stage" && TZ=UTC zip -X -q -9 "$dist/$zip_name" "${files[@]}")

echo "== $setup_name"
makensis -V2 -INPUTCHARSET UTF8 \
  "-DQD_VERSION=$QD_VERSION" "-DQD_VERSION_QUAD=$QD_VERSION_QUAD" \
  "-DQD_PUBLISHER=$QD_PUBLISHER" "-DQD_COPYRIGHT=$QD_COPYRIGHT" \
  "-DQD_STAGE=$stage" "-DQD_ICON=$root/resources/Quiverdir.ico" \
  "-DQD_OUTFILE=$dist/$setup_name" \
  scripts/installer/Quiverdir.nsi

(cd "$dist" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)
echo "== dist/"
(cd "$dist" && ls -l "$zip_name" "$setup_name" SHA256SUMS && cat SHA256SUMS)
