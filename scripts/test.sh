#!/usr/bin/env bash
# Installs, checks the README's links and figures, builds both presets and runs every suite: the
# native unit tests, then the Windows suites and the end-to-end tests under Wine. Exits non-zero
# when any check or test fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

started=$(date +%s)
"$VS_ROOT/scripts/install-deps.sh"
# The README's links resolve and every figure it quotes is in docs/benchmarks.md.
echo "[veilswitcher] checking the README's links and figures" >&2
docs_status=0
python3 "$VS_ROOT/scripts/check_docs.py" || docs_status=1
"$VS_ROOT/scripts/build.sh"

logdir="$(mktemp -d)"
win_root=""
cleanup() {
  if [ -n "$win_root" ]; then
    WINEPREFIX="$win_root/prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$win_root/prefix" wineserver -w 2>/dev/null || true
    rm -rf "$win_root"
  fi
  vs_stop_display
  rm -rf "$logdir"
}
trap cleanup EXIT

status=$docs_status
echo "[veilswitcher] native unit tests" >&2
ctest --preset native --no-tests=error 2>&1 | tee "$logdir/native.log" || status=1

# The unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer (clang), then the
# fuzz target for about thirty seconds: memory errors and hostile settings data.
sanitized_and_fuzzed() {
  echo "[veilswitcher] unit tests under ASan and UBSan (preset native-asan)" >&2
  cmake --preset native-asan >/dev/null &&
    cmake --build --preset native-asan -j "$(nproc 2>/dev/null || echo 2)" >/dev/null &&
    ctest --preset native-asan --no-tests=error
  local tested=$?
  echo "[veilswitcher] fuzzing settings loading and the hotkey text for 30 s" >&2
  "$VS_ROOT/scripts/fuzz.sh" --seconds 30 || return 1
  return "$tested"
}
sanitized_and_fuzzed 2>&1 | tee "$logdir/sanitized.log" || status=1

# The Windows suites run in a throwaway prefix, never in the user's ~/.wine; the end-to-end
# tests make prefixes of their own.
vs_ensure_display
vs_select_windows_build
win_root="$(mktemp -d)"
win_prefix="$win_root/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
vs_boot_prefix "$win_prefix"
vs_use_virtual_desktop "$win_prefix"
echo "[veilswitcher] Windows suites and end-to-end tests under Wine" >&2
WINEPREFIX="$win_prefix" ctest --test-dir "$VS_WIN_BUILD" --output-on-failure --no-tests=error 2>&1 \
  | tee "$logdir/win.log" || status=1

summary() {
  grep -E 'tests passed|tests failed|Total Test time|\((Failed|Timeout|Not Run|Skipped)\)|\*\*\*(Failed|Timeout|Not Run|Skipped)' "$1" || true
}
echo
echo "==== summary: docs ===="
if [ "$docs_status" -eq 0 ]; then echo "README links and figures fine"; else echo "README check FAILED (see check_docs above)"; fi
echo "==== summary: native ===="
summary "$logdir/native.log"
echo "==== summary: native-asan (unit tests under ASan and UBSan) and fuzzing ===="
summary "$logdir/sanitized.log"
grep -E '^(inputs run|nothing found|FOUND|interrupted)' "$logdir/sanitized.log" || true
echo "==== summary: ${VS_WIN_BUILD#"$VS_ROOT"/} (Windows suites, end-to-end) ===="
summary "$logdir/win.log"
# A suite that skipped for want of its environment proves nothing; on CI that is a failure.
if [ -n "${CI:-}" ] && grep -qE '\*\*\*Skipped|\*\*\*Not Run' "$logdir/native.log" "$logdir/win.log"; then
  echo "==== CI: some tests were skipped or not run; that counts as a failure here ===="
  status=1
fi
if [ -n "${CI:-}" ] && grep -qE '\*\*\*Skipped|\*\*\*Not Run' "$logdir/sanitized.log"; then
  echo "==== CI: some sanitized unit tests were skipped or not run ===="
  status=1
fi
echo "==== $(( $(date +%s) - started )) s in all ===="
exit "$status"
