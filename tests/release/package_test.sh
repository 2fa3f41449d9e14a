#!/usr/bin/env bash
# Tests of scripts/package.sh and of what it makes, under Wine, in a Wine prefix of their own
# (build/wineprefix-release: installing changes its registry):
#   - dist/ holds exactly the zip, the setup program and their sums; the zip holds exactly the
#     program's files; the read-me is UTF-8 with a byte order mark and CRLF line ends;
#   - the version resource and manifest of the shipped executable and of the setup program;
#   - a silent install into a new folder: files, Apps entry, Start menu, the installed program
#     starts and shows its window; /FolderMenu starts the folder menu now and with Windows;
#   - an upgrade over an earlier install, with the program running: it is closed, the files are
#     replaced, the user's list and options.ini stay;
#   - the silent uninstall named by the Apps entry: the running folder menu is closed; files, entry,
#     shortcuts and the folder menu's Run value go, the user's list, options.ini (beside the program
#     and in %APPDATA%\Quiverdir) and the automatic backups (%APPDATA%\Quiverdir\backups) stay;
#   - an all-users install (no options.ini made beside the program) and its uninstall asked to
#     remove the user's data too: list, options.ini and automatic backups go, a file the user
#     exported into the program's folder stays;
#   - the program's bytes do not depend on when it was linked; a second run gives the same bytes.
# Ends with "N passed, N failed"; exit status 0 when nothing failed.
# QD_PACKAGE_ARGS: extra cmake arguments for scripts/package.sh (e.g. a compiler launcher).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
. scripts/wine-env.sh

main_class="Quiverdir Made by Tallowmere"
menu_class="Quiverdir Folder Menu"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninst_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Quiverdir'
version=$(sed -n 's/^project(Quiverdir VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt" >&2; exit 2; }
zip="dist/Quiverdir-$version-win32.zip"
setup="dist/Quiverdir-$version-setup.exe"

passed=0
failed=0
# check NAME COMMAND...: one test case.
check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok   $name"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
  fi
}
# poll SECONDS COMMAND...: waits until the command succeeds.
poll() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
same() { [ "$1" = "$2" ] || { echo "     expected: $2" >&2; echo "     got:      $1" >&2; return 1; }; }
# quiet COMMAND...: without Wine's notes on standard error.
quiet() { "$@" 2>/dev/null; }
winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }
# reg_value ROOT\KEY NAME: the value's data, empty when absent. reg.exe writes to a pipe in the
# console code page, 936 in this environment.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
key_absent() { ! wine reg query "$1" >/dev/null 2>&1; }
# reg_export ROOT\KEY FILE: the key as reg.exe exports it (empty file when absent).
reg_export() {
  rm -f "$2"
  wine reg export "$1" "$(winpath "$2")" /y >/dev/null 2>&1 || : >"$2"
}
files_of() { (cd "$1" && ls -A | LC_ALL=C sort | tr '\n' ' '); }
probe() { wine "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }
no_window() { ! probe wait-window "$1" 0.2 >/dev/null; }
probe_field() { probe version "$(winpath "$1")" | sed -n "s/^$2=//p"; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# run_quiet_uninstall ROOT [EXTRA ARGS]: runs the entry's QuietUninstallString as Windows would.
run_quiet_uninstall() {
  local root_key=$1
  shift
  local command exe args
  command=$(reg_value "$root_key\\$uninst_key" QuietUninstallString)
  exe=${command#\"}
  exe=${exe%%\"*}
  args=${command#\"$exe\"}
  # shellcheck disable=SC2086
  wine "$exe" $args "$@" 2>/dev/null
}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qd-release.XXXXXX")
release_prefix=$root/build/wineprefix-release
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
  [ "${WINEPREFIX:-}" = "$release_prefix" ] && wineserver -k 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

echo "== Packaging"
# shellcheck disable=SC2086
check "package.sh makes the release" bash scripts/package.sh ${QD_PACKAGE_ARGS:-}
[ "$failed" -eq 0 ] || { echo "$passed passed, $failed failed"; exit 1; }
check "dist/ holds the zip, the setup program and their sums" \
  same "$(files_of dist)" "Quiverdir-$version-setup.exe Quiverdir-$version-win32.zip SHA256SUMS "
check "SHA256SUMS matches both files" bash -c "cd dist && sha256sum --quiet -c SHA256SUMS"
check "the zip holds exactly the program's files" \
  same "$(unzip -Z1 "$zip" | tr '\n' ' ')" "Quiverdir.exe QuiverdirMenu.exe Silver.ssk Quiverdir.html ReadMe.txt License.txt Unihan-License.txt "
unzip -q "$zip" -d "$tmp/zip"
check "the read-me starts with a UTF-8 byte order mark" same "$(head -c 3 "$tmp/zip/ReadMe.txt" | od -An -tx1 | tr -d ' ')" "efbbbf"
check "every line of the read-me and the licence ends in CRLF" \
  bash -c '! grep -q -v $'"'\r\$'"' "$1" "$2" "$3"' _ "$tmp/zip/ReadMe.txt" "$tmp/zip/License.txt" "$tmp/zip/Unihan-License.txt"
check "the Unicode Han database's licence is shipped" grep -q "UNICODE, INC. LICENSE AGREEMENT" "$tmp/zip/Unihan-License.txt"
check "the read-me names the version" grep -q "Quiverdir $version (Quorvane快捷目录软件)" "$tmp/zip/ReadMe.txt"
cp "$zip" "$setup" "$tmp/"

echo "== Version resources"
# The probe is built with the release, in its build folder.
cmake --build build/release --target release_probe >/dev/null || exit 1
probe_exe=$root/build/release/tests/release/release_probe.exe
qd_wine_env "$release_prefix" || exit 1
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"   # no menu entries on the Linux desktop
qd_display || exit 1
wineserver -p 60 >/dev/null 2>&1 &
qd_wine_unmanaged
exe_info=$(probe version "$(winpath "$tmp/zip/Quiverdir.exe")")
echo "$exe_info" | sed 's/^/     /'
field() { echo "$exe_info" | sed -n "s/^$1=//p"; }
check "Quiverdir.exe: file version" same "$(field FixedFileVersion)" "$version.0"
check "Quiverdir.exe: product version" same "$(field ProductVersion)" "$version"
check "Quiverdir.exe: product name" same "$(field ProductName)" "Quiverdir"
check "Quiverdir.exe: copyright line" same "$(field LegalCopyright)" "$(sed -n 's/^\(Copyright .*\)/\1/p' LICENSE)"
check "Quiverdir.exe: manifest runs it as the invoking user" same "$(field ExecutionLevel)" "asInvoker"
check "setup program: product version" same "$(probe_field "$tmp/$(basename "$setup")" ProductVersion)" "$version"
menu_info=$(probe version "$(winpath "$tmp/zip/QuiverdirMenu.exe")")
menu_field() { echo "$menu_info" | sed -n "s/^$1=//p"; }
check "QuiverdirMenu.exe: file version" same "$(menu_field FixedFileVersion)" "$version.0"
check "QuiverdirMenu.exe: product name" same "$(menu_field ProductName)" "Quiverdir"
check "QuiverdirMenu.exe: manifest runs it as the invoking user" same "$(menu_field ExecutionLevel)" "asInvoker"

# A clean start: no install and no list left by an earlier run in this prefix.
for key in "HKCU\\$uninst_key" "HKLM\\$uninst_key" 'HKCU\Software\Quiverdir'; do
  wine reg delete "$key" /f >/dev/null 2>&1
done
wine reg delete "$run_key" /v QuiverdirMenu /f >/dev/null 2>&1

echo "== Silent install"
dir=$tmp/快捷目录
check "setup /S /D= ends with status 0" quiet wine "$setup" /S "/D=$(winpath "$dir")"
check "the folder holds the program's files and the uninstaller" \
  same "$(files_of "$dir")" "License.txt Quiverdir.exe Quiverdir.html QuiverdirMenu.exe ReadMe.txt Silver.ssk Unihan-License.txt Uninstall.exe "
check "the installed program is the zip's" cmp -s "$dir/Quiverdir.exe" "$tmp/zip/Quiverdir.exe"
check "the Apps entry names the version" same "$(reg_value "HKCU\\$uninst_key" DisplayVersion)" "$version"
check "the Apps entry names the folder" same "$(reg_value "HKCU\\$uninst_key" InstallLocation)" "$(winpath "$dir")"
check "the Apps entry has no all-users twin" key_absent "HKLM\\$uninst_key"
start_menu=$(find "$WINEPREFIX/drive_c/users" -path '*/Start Menu/Programs/Quiverdir/Quiverdir.lnk' 2>/dev/null | head -1)
check "the Start menu has Quiverdir" test -n "$start_menu"
check "the Start menu has the folder menu" test -e "$(dirname "$start_menu")/QuiverdirMenu.lnk"
check "a plain install does not start the folder menu with Windows" same "$(reg_value "$run_key" QuiverdirMenu)" ""

wine "$dir/Quiverdir.exe" >/dev/null 2>&1 &
app_pid=$!
caption=$(probe wait-window "$main_class" 30)
check "the installed program shows its main window" same "$caption" "Quorvane快捷目录软件 ${version%.*}"
check "the main window closes" probe close-window "$main_class" 20
check "the program ends with status 0" wait "$app_pid"
app_pid=

echo "== Upgrade over an earlier install, with the program running"
# The user's state: an edited list and options; the install pretends to be an earlier version.
wine reg add 'HKCU\Software\Quiverdir' /v N2 /d 下载 /f >/dev/null
wine reg add 'HKCU\Software\Quiverdir' /v P2 /d 'C:\users' /f >/dev/null
printf '[Options]\r\nExploreFolder=0\r\nAskDelete=0\r\nShowTips=1\r\n' >"$dir/options.ini"
cp "$dir/options.ini" "$tmp/options.before"
echo "an earlier version's help" >"$dir/Quiverdir.html"
wine reg add "HKCU\\$uninst_key" /v DisplayVersion /d 1.0.0 /f >/dev/null
wine "$dir/Quiverdir.exe" >/dev/null 2>&1 &
app_pid=$!
check "the earlier install's program runs" probe wait-window "$main_class" 30
reg_export 'HKCU\Software\Quiverdir' "$tmp/list.before"
check "setup /S over it ends with status 0" quiet wine "$setup" /S
check "the running program was closed" poll 10 gone "$app_pid"
app_pid=
check "the program's files were replaced" cmp -s "$dir/Quiverdir.html" "$tmp/zip/Quiverdir.html"
check "options.ini is unchanged" cmp -s "$dir/options.ini" "$tmp/options.before"
reg_export 'HKCU\Software\Quiverdir' "$tmp/list.after"
check "the edited list is unchanged" cmp -s "$tmp/list.after" "$tmp/list.before"
check "the list still has the edited row" same "$(reg_value 'HKCU\Software\Quiverdir' N2)" "下载"
check "the Apps entry names the new version" same "$(reg_value "HKCU\\$uninst_key" DisplayVersion)" "$version"

echo "== The folder menu, started by setup"
check "setup /S /FolderMenu over it ends with status 0" quiet wine "$setup" /S /FolderMenu
check "the Run value starts the installed folder menu" same "$(reg_value "$run_key" QuiverdirMenu)" "\"$(winpath "$dir")\\QuiverdirMenu.exe\""
check "the folder menu runs" probe wait-window "$menu_class" 30

echo "== Silent uninstall"
echo "[PathWarden]" >"$dir/my.pwb"
# The user's own files in the roaming application data folder: an automatic backup and the
# per-user options.ini.
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)
user_data() {
  mkdir -p "$appdata/Quiverdir/backups"
  echo "[PathWarden]" >"$appdata/Quiverdir/backups/2026-05-01 100000 #1.pwb"
  printf '[Options]\r\nShowTips=1\r\n' >"$appdata/Quiverdir/options.ini"
}
check "the roaming application data folder is known" test -d "$appdata"
user_data
run_quiet_uninstall HKCU
# The uninstaller runs on from a copy of itself: wait for its last steps.
uninstalled() { key_absent "HKCU\\$uninst_key" && [ ! -e "$dir/Uninstall.exe" ]; }
poll 60 uninstalled
check "the Apps entry is gone" key_absent "HKCU\\$uninst_key"
check "the program's files are gone; options.ini and the backup stay" same "$(files_of "$dir")" "my.pwb options.ini "
check "the Start menu entries are gone" bash -c '[ ! -e "$1" ] && [ ! -e "$2" ]' _ "$start_menu" "$(dirname "$start_menu")/QuiverdirMenu.lnk"
check "the folder menu was closed" no_window "$menu_class"
check "the folder menu's Run value is gone" same "$(reg_value "$run_key" QuiverdirMenu)" ""
reg_export 'HKCU\Software\Quiverdir' "$tmp/list.uninstalled"
check "the user's list is as it was" cmp -s "$tmp/list.uninstalled" "$tmp/list.before"
check "the automatic backups and the per-user options.ini stay" \
  same "$(files_of "$appdata/Quiverdir") / $(files_of "$appdata/Quiverdir/backups")" "backups options.ini  / 2026-05-01 100000 #1.pwb "

echo "== All users, and an uninstall that removes the user's data"
all=$tmp/所有用户
check "setup /S /AllUsers ends with status 0" quiet wine "$setup" /S /AllUsers "/D=$(winpath "$all")"
check "the all-users Apps entry names the version" same "$(reg_value "HKLM\\$uninst_key" DisplayVersion)" "$version"
check "no per-user Apps entry" key_absent "HKCU\\$uninst_key"
check "its uninstaller is told the mode" same "$(reg_value "HKLM\\$uninst_key" QuietUninstallString)" "\"$(winpath "$all")\\Uninstall.exe\" /S /AllUsers"
all_start_menu=$(find "$WINEPREFIX/drive_c/ProgramData" -path '*/Start Menu/Programs/Quiverdir/Quiverdir.lnk' 2>/dev/null | head -1)
check "the all-users Start menu has Quiverdir" test -n "$all_start_menu"
check "no options.ini is made beside the program" test ! -e "$all/options.ini"
echo "[PathWarden]" >"$all/my.pwb"
printf '[Options]\r\n' >"$all/options.ini"
user_data
run_quiet_uninstall HKLM /RemoveUserData
uninstalled_all() { key_absent "HKLM\\$uninst_key" && [ ! -e "$all/Uninstall.exe" ] && key_absent 'HKCU\Software\Quiverdir' && [ ! -e "$appdata/Quiverdir" ]; }
poll 60 uninstalled_all
check "the all-users Apps entry is gone" key_absent "HKLM\\$uninst_key"
check "options.ini beside the program is gone; the backup the user exported there stays" same "$(files_of "$all")" "my.pwb "
check "the automatic backups and the per-user options.ini are gone" test ! -e "$appdata/Quiverdir"
check "the user's list is gone" key_absent 'HKCU\Software\Quiverdir'

echo "== Runs again"
# Each run links the program again (it is made older than its sources). Linked at another time:
# the program's bytes are the same.
touch -d '2001-01-01' build/release/app/Quiverdir.exe
# shellcheck disable=SC2086
SOURCE_DATE_EPOCH=1000000000 bash scripts/package.sh ${QD_PACKAGE_ARGS:-} >/dev/null 2>&1
unzip -q "$zip" Quiverdir.exe -d "$tmp/later"
check "the program linked later is the same" cmp "$tmp/later/Quiverdir.exe" "$tmp/zip/Quiverdir.exe"
# With the same sources and time, everything is the same.
touch -d '2001-01-01' build/release/app/Quiverdir.exe
# shellcheck disable=SC2086
check "package.sh runs again" bash scripts/package.sh ${QD_PACKAGE_ARGS:-}
check "the same zip bytes" cmp "$zip" "$tmp/$(basename "$zip")"
check "the same setup program bytes" cmp "$setup" "$tmp/$(basename "$setup")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
