# Sourced by the scripts that run Windows programs: brings up a display and a
# wine prefix inside the build folder, and shuts down what it started.
#   wine_session_start BUILD_DIR   -> exports DISPLAY, WINEPREFIX, WINEDEBUG
#   wine_session_stop

_wine_session_xvfb_pid=""

_wine_session_display_works() {
  [[ -n "${DISPLAY:-}" ]] || return 1
  local number=${DISPLAY#*:}
  number=${number%%.*}
  [[ -S /tmp/.X11-unix/X$number ]]
}

_wine_session_start_xvfb() {
  local number
  for number in $(seq 90 140); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    _wine_session_xvfb_pid=$!
    local tries
    for tries in $(seq 1 100); do
      if [[ -S /tmp/.X11-unix/X$number ]]; then
        export DISPLAY=":$number"
        return 0
      fi
      kill -0 "$_wine_session_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$_wine_session_xvfb_pid" 2>/dev/null
    _wine_session_xvfb_pid=""
  done
  echo "wine-session: cannot start Xvfb" >&2
  return 1
}

wine_session_start() {
  local build_dir=$1
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64

  if [[ "${WINE_SESSION_USE_DISPLAY:-0}" == 1 ]] && _wine_session_display_works; then
    :
  else
    _wine_session_start_xvfb || return 1
  fi

  if [[ ! -f "$WINEPREFIX/.tavro-ready" ]]; then
    echo "wine-session: making a wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # A crashing program must print its fault and exit non-zero. Wine's own
    # debugger either waits in its crash dialog or lets the program exit 0;
    # a debugger that cannot start makes wine end the program with an error.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ \
      /d 'no-debugger-configured.exe' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tavro-ready"
  fi
  # A persistent server makes every program start faster. Its helper
  # processes (services, device manager) start here, with closed output:
  # started by a test instead, they would inherit the test's output pipe and
  # keep its reader waiting after the test has ended.
  wineserver -p </dev/null >/dev/null 2>&1 &
  wineboot </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  if [[ -n "${WINEPREFIX:-}" ]]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [[ -n "$_wine_session_xvfb_pid" ]]; then
    kill "$_wine_session_xvfb_pid" 2>/dev/null || true
    wait "$_wine_session_xvfb_pid" 2>/dev/null || true
    _wine_session_xvfb_pid=""
  fi
}
