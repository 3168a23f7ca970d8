#!/usr/bin/env bash
# Configures and builds the presets: native (logic + unit tests) and mingw-i686 (the program,
# the Windows test suites and the end-to-end helper); on a machine that runs no 32-bit programs
# also mingw-x86_64, the same sources for the Windows suites under 64-bit Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

vs_select_windows_build
presets=(native mingw-i686)
[ "$VS_WIN_PRESET" = mingw-i686 ] || presets+=("$VS_WIN_PRESET")
jobs="$(nproc 2>/dev/null || echo 2)"
for preset in "${presets[@]}"; do
  echo "[veilswitcher] building preset $preset" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
