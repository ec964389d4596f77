# Sourced by the scripts that run Windows programs: brings up a display and a
# wine prefix inside the build folder, and shuts down what it started.
#   wine_session_start BUILD_DIR [i686] -> exports DISPLAY, WINEPREFIX, WINEDEBUG
#   wine_session_stop
# With i686 the session runs the private 32-bit Wine that wine32-root.sh
# unpacks into BUILD_DIR/wine32, under the emulator; `wine_session_wine` is
# then that Wine's launcher.

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
      # The socket may be another server's that started at the same moment
      # (two sessions side by side): the display is ours only when the lock
      # names our server.
      if [[ -S /tmp/.X11-unix/X$number && -f /tmp/.X$number-lock ]] &&
        [[ "$(tr -d ' \n' </tmp/.X$number-lock 2>/dev/null)" == "$_wine_session_xvfb_pid" ]]; then
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

wine_session_wine=wine
_wine_session_server=wineserver
_wine_session_emulated_server=/usr/lib/wine/wineserver64
_wine_session_emulated_prefix() { echo "$1/wineprefix-i686"; }

# The system's wineserver serves the emulated 32-bit clients too: a 64-bit
# server speaks the same protocol to both.
_wine_session_use_emulated_wine() {
  local build_dir=$1
  if [[ ! -x "$build_dir/wine32/wine" ]]; then
    echo "wine-session: no 32-bit Wine in $build_dir/wine32: run wine32_root_make first" >&2
    return 1
  fi
  export WINEPREFIX
  WINEPREFIX=$(_wine_session_emulated_prefix "$build_dir")
  export WINEARCH=win32
  export WINESERVER=$_wine_session_emulated_server
  export WINELOADER="$build_dir/wine32/root/usr/lib/wine/wine"
  # The default emulated CPU offers XSAVE and AVX, which the emulator does not
  # deliver consistently in signal frames: Wine then loops on unexpected
  # traps. syscall and lm are 64-bit features the 32-bit emulator warns about.
  export QEMU_CPU=Nehalem-v1,-syscall,-lm
  # winediag errors tell when Wine's desktop process failed to start, seh
  # errors when the emulator raised a signal that no processor would.
  export WINEDEBUG=-all,err+winediag,err+seh
  wine_session_wine="$build_dir/wine32/wine"
  # For scripts/lib/emulated-wine, which runs the test programs.
  export TAVRO_WINE32=$wine_session_wine
  export TAVRO_EXIT_REPORTER="$build_dir/i686/bin/report_exit.exe"
  _wine_session_server=$WINESERVER
}

# Wine's driver host crashes under the emulator, and its service manager then
# waits seconds for each driver service to start. The tests need none of them.
# One registry import keeps this to one emulated process.
_wine_session_disable_drivers() {
  local file=$WINEPREFIX/drive_c/tavro-drivers.reg service
  {
    echo 'REGEDIT4'
    for service in MountMgr NDIS nsiproxy PlugPlay winebus wineusb winehid; do
      printf '\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\%s]\n"Start"=dword:00000004\n' "$service"
    done
  } >"$file"
  timeout 300 "$wine_session_wine" regedit /S 'C:\tavro-drivers.reg' </dev/null >/dev/null 2>&1 || true
}

# Waits until the prefix's server has saved its state and ended. A process
# left behind (an emulated service that never exits) cannot hold the run:
# after two minutes the server is told to end, which saves the registry too.
_wine_session_settle() {
  timeout 120 "$_wine_session_server" -w || "$_wine_session_server" -k >/dev/null 2>&1 || true
  timeout 30 "$_wine_session_server" -w || true
}

wine_session_start() {
  local build_dir=$1 flavour=${2:-x86_64}
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [[ $flavour == i686 ]]; then
    _wine_session_use_emulated_wine "$build_dir" || return 1
  fi

  if [[ "${WINE_SESSION_USE_DISPLAY:-0}" == 1 ]] && _wine_session_display_works; then
    :
  else
    _wine_session_start_xvfb || return 1
  fi

  if [[ ! -f "$WINEPREFIX/.tavro-ready" ]]; then
    echo "wine-session: making a wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # A program that crashes while the prefix is made (Wine's driver host
    # does under the emulator) would start Wine's debugger, which can wait
    # for ever: none is started until the prefix names its own.
    local overrides=$WINEDLLOVERRIDES
    export WINEDLLOVERRIDES="$overrides;winedbg.exe=d"
    # Emulated Wine processes often end killed by wineserver while exiting
    # (see emulated-wine), so a status here says nothing: the prefix's files do.
    timeout 900 "$wine_session_wine" wineboot -i </dev/null >/dev/null 2>&1 || true
    _wine_session_settle
    [[ $flavour == i686 ]] && _wine_session_disable_drivers
    # A crashing program must print its fault and exit non-zero. Wine's own
    # debugger either waits in its crash dialog or lets the program exit 0;
    # a debugger that cannot start makes wine end the program with an error.
    "$wine_session_wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ \
      /d 'no-debugger-configured.exe' /f </dev/null >/dev/null 2>&1 || true
    _wine_session_settle
    export WINEDLLOVERRIDES=$overrides
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      echo "wine-session: wine could not make a prefix in $WINEPREFIX" >&2
      return 1
    fi
    touch "$WINEPREFIX/.tavro-ready"
  fi
  # A persistent server makes every program start faster. Its helper
  # processes (services, device manager) start here, with closed output:
  # started by a test instead, they would inherit the test's output pipe and
  # keep its reader waiting after the test has ended.
  "$_wine_session_server" -p </dev/null >/dev/null 2>&1 &
  timeout 300 "$wine_session_wine" wineboot </dev/null >/dev/null 2>&1 || true
}

# Ends the emulated session that another process of this shell started on
# BUILD_DIR, and every program of it.
wine_session_kill_emulated() {
  WINEPREFIX=$(_wine_session_emulated_prefix "$1") "$_wine_session_emulated_server" -k >/dev/null 2>&1 || true
}

wine_session_stop() {
  if [[ -n "${WINEPREFIX:-}" ]]; then
    "$_wine_session_server" -k >/dev/null 2>&1 || true
  fi
  if [[ -n "$_wine_session_xvfb_pid" ]]; then
    kill "$_wine_session_xvfb_pid" 2>/dev/null || true
    wait "$_wine_session_xvfb_pid" 2>/dev/null || true
    _wine_session_xvfb_pid=""
  fi
}
