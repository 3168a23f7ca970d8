#!/usr/bin/env bash
# Configures and builds the presets: native (logic + unit tests) and mingw-i686 (the program,
# the Windows test suites and the end-to-end helpers). On a machine that runs no 32-bit programs
# the suites and helpers come from mingw-x86_64 instead, the same sources built for 64-bit Wine,
# and of mingw-i686 only the program itself is built.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

vs_select_windows_build
jobs="$(nproc 2>/dev/null || echo 2)"
build() {
  local preset="$1"
  shift
  vs_log "building preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" "$@"
}

build native
if [ "$VS_WIN_PRESET" = mingw-i686 ]; then
  build mingw-i686
else
  build mingw-i686 --target veilswitcher
  build "$VS_WIN_PRESET"
fi
