#!/bin/sh
# Runs a GoogleTest program under Wine in the prefix the caller made for it; never in ~/.wine.
# Exit 77 tells ctest the test was skipped.
if [ -z "$WINEPREFIX" ]; then
  echo "SKIPPED: WINEPREFIX is not set; these tests run only in a throwaway Wine prefix" \
       "(export WINEPREFIX=\$(mktemp -d); wineboot -i)" >&2
  exit 77
fi
if ! command -v wine >/dev/null 2>&1; then
  echo "SKIPPED: wine is not installed" >&2
  exit 77
fi
export WINEDEBUG="${WINEDEBUG:--all}"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
if [ -n "$DISPLAY" ]; then
  # Inside a Wine desktop of its own a show or hide takes milliseconds; on a bare X display
  # Wine waits about 2 s for a window manager each time.
  wine explorer /desktop="veilswitcher-wintest-$$,1024x768" "$@" >"$out" 2>&1
else
  wine "$@" >"$out" 2>&1
fi
rc=$?
cat "$out"
# The desktop's explorer does not hand the program's exit code on, so GoogleTest's own summary
# decides; a program that died before it counts as failed.
if grep -q '^\[  FAILED  \]' "$out"; then exit 1; fi
if ! grep -q '^\[  PASSED  \]' "$out"; then
  echo "FAILED: the test program ended without a GoogleTest summary (exit code $rc)" >&2
  exit 1
fi
exit 0
