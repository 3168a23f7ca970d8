#!/usr/bin/env bash
# Makes the release from the i686 Release build: build/win/release/veilswitcher-<version>-win32.zip
# and veilswitcher-<version>-setup.exe. The version is the one in CMakeLists.txt.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

"$VS_ROOT/scripts/install-deps.sh"
vs_log "building the release (preset mingw-i686)"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 --target release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build/win/CMakeCache.txt)
for file in "build/win/release/veilswitcher-$version-win32.zip" \
  "build/win/release/veilswitcher-$version-setup.exe"; do
  [ -f "$file" ] || { vs_log "missing $file"; exit 1; }
  printf '%-60s%10s bytes\n' "$file" "$(stat -c %s "$file")"
done
