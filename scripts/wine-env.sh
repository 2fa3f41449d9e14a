# Sourced by the run and test scripts: the Wine environment the program and its tests run in.
#   qd_wine_env PREFIX_DIR   exports WINEPREFIX and friends, creates the prefix once
#   qd_display               makes sure DISPLAY names a working X server (a private Xvfb if needed)
#   qd_wineserver            starts a persistent wineserver so each Wine process starts quickly

qd_wine_env() {
  export WINEPREFIX="$1"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once, about 10 s)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # The registry files are written when the Wine server ends, a few seconds after wineboot.
    timeout 60 wineserver -w || true
    [ -f "$WINEPREFIX/system.reg" ] || { echo "Wine prefix creation failed" >&2; return 1; }
  fi
}

# Test prefixes: windows are not handed to a window manager, so showing and hiding them does not
# wait for one (Xvfb has none).
qd_wine_unmanaged() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}

qd_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    QD_PRIVATE_DISPLAY=0
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    QD_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && { QD_PRIVATE_DISPLAY=1; return 0; }
      sleep 0.1
    done
    kill "$QD_XVFB_PID" 2>/dev/null || true
  done
  echo "Could not start a private Xvfb" >&2
  return 1
}

qd_wineserver() {
  wineserver -p 600 >/dev/null 2>&1 &
}
