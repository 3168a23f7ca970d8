# Shared by the scripts in this directory; sourced, not run.

VS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VS_XVFB_PID=""

# The Windows build that Wine can run on this machine. The product is the 32-bit build; a kernel
# that runs no 32-bit code (some virtual machines) cannot start 32-bit Wine at all, and there the
# same sources are built for 64-bit Windows and run under 64-bit Wine, so the Windows suites still
# exercise the real Win32 calls. Sets VS_WIN_PRESET, VS_WIN_BUILD and VS_WINEARCH; in the 64-bit
# case it also puts `wine` shims first on PATH (wineboot and friends call `wine-stable`).
vs_select_windows_build() {
  if [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then
    VS_WIN_PRESET=mingw-i686 VS_WIN_BUILD="$VS_ROOT/build/win" VS_WINEARCH=win32
  else
    VS_WIN_PRESET=mingw-x86_64 VS_WIN_BUILD="$VS_ROOT/build/win64" VS_WINEARCH=win64
    local shims="$VS_ROOT/build/wine64-shims"
    mkdir -p "$shims"
    local name
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
        >"$shims/$name"
      chmod +x "$shims/$name"
    done
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
    vs_log "this machine runs no 32-bit programs: Wine runs the 64-bit build of the same sources"
  fi
  export VS_WIN_PRESET VS_WIN_BUILD VS_WINEARCH
}

vs_log() { echo "[veilswitcher] $*" >&2; }

# Starts a private Xvfb and exports DISPLAY, unless a display is already set.
vs_ensure_display() {
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local numfile
  numfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  VS_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    vs_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
  rm -f "$numfile"
  vs_log "DISPLAY was not set: started Xvfb on $DISPLAY (pid $VS_XVFB_PID)"
}

vs_stop_display() {
  if [ -n "$VS_XVFB_PID" ]; then
    kill "$VS_XVFB_PID" 2>/dev/null || true
    wait "$VS_XVFB_PID" 2>/dev/null || true
    VS_XVFB_PID=""
  fi
}

# Boots a Wine prefix at $1 (of VS_WINEARCH, 32-bit by default; no Mono/Gecko installers) if it
# has not been booted yet.
vs_boot_prefix() {
  local prefix="$1"
  if [ -f "$prefix/system.reg" ]; then
    return 0
  fi
  vs_log "booting Wine prefix $prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX="$prefix" WINEARCH="${VS_WINEARCH:-win32}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wineboot -i </dev/null >/dev/null 2>&1
}

# Every window of the prefix inside Wine's own desktop: without a window manager Wine waits
# about 2 s after each hide of another program's window.
vs_use_virtual_desktop() {
  local prefix="$1"
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer' \
    /v Desktop /d Default /f </dev/null >/dev/null 2>&1
  WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer\Desktops' \
    /v Default /d 1280x800 /f </dev/null >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
}
