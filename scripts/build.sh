#!/usr/bin/env bash
# Configures and builds both presets: native (logic + unit tests) and mingw-i686 (the program,
# the Windows test suites and the end-to-end helper).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

jobs="$(nproc 2>/dev/null || echo 2)"
for preset in native mingw-i686; do
  echo "[veilswitcher] building preset $preset" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
