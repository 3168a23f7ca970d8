#!/usr/bin/env bash
# Builds what the benchmarks need and prints their figures: one switch over the in-memory window
# system (native Release build in build/bench-native), the real program under Wine in its virtual
# desktop (a throwaway prefix, removed at the end), and the size of veilswitcher.exe.
# Prints figures only; it asserts nothing. Takes about twelve minutes on a 2-core machine once
# both builds exist (the 1000-window plain loop and the extras take most of it).
#   scripts/bench.sh --rules    the window rules' figures alone (about a minute)
#   scripts/bench.sh --watchers /watch clients connected during switches, alone (a few minutes)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

started=$(date +%s)
jobs="$(nproc 2>/dev/null || echo 2)"
"$VS_ROOT/scripts/install-deps.sh"

vs_log "building bench_switch (native, Release)"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench-native --target bench_switch -j "$jobs" >/dev/null
vs_select_windows_build
vs_log "building veilswitcher.exe and the benchmark's helpers ($VS_WIN_PRESET)"
cmake --preset "$VS_WIN_PRESET" >/dev/null
cmake --build --preset "$VS_WIN_PRESET" --target veilswitcher bench_probe bench_hello \
  bench_journal -j "$jobs" >/dev/null

exe="$VS_WIN_BUILD/veilswitcher.exe"
helpers="$VS_WIN_BUILD/bench/wine"
outdir="$(mktemp -d)"
trap 'vs_stop_display; rm -rf "$outdir"' EXIT

if [ "${1:-}" = "--rules" ] || [ "${1:-}" = "--watchers" ]; then
  vs_ensure_display
  python3 bench/wine/bench_wine.py --exe "$exe" --probe "$helpers/bench_probe.exe" \
    --hello "$helpers/bench_hello.exe" --journal "$helpers/bench_journal.exe" "--only-${1#--}"
  exit 0
fi

vs_log "native benchmark"
build/bench-native/bench_switch >"$outdir/native.txt"

vs_ensure_display
vs_log "Wine benchmark (boots its own prefix)"
python3 bench/wine/bench_wine.py --exe "$exe" --probe "$helpers/bench_probe.exe" \
  --hello "$helpers/bench_hello.exe" --journal "$helpers/bench_journal.exe" >"$outdir/wine.txt"

cp "$exe" "$outdir/stripped.exe"
"${VS_WIN_PRESET#mingw-}-w64-mingw32-strip" "$outdir/stripped.exe"
size=$(stat -c %s "$exe")
stripped=$(stat -c %s "$outdir/stripped.exe")

echo
echo "==== veilswitcher benchmarks ($(date -u +%Y-%m-%d), $(nproc) cores, $(uname -m)) ===="
echo
echo "Switch over the in-memory window system (bench_switch, native Release build):"
sed 's/^/  /' "$outdir/native.txt"
echo
cat "$outdir/wine.txt"
echo
echo "Binary size of $exe (i686, static):"
printf '  %-58s%10s\n' "as built (Release)" "$size bytes"
if [ "$stripped" -ne "$size" ]; then
  printf '  %-58s%10s\n' "stripped copy (i686-w64-mingw32-strip)" "$stripped bytes"
else
  printf '  %-58s\n' "stripping changes nothing"
fi

# The release's two goals: a file of at most 250 KB, and a first start (to idle) at most 1.15
# times the trivial GUI program's, both medians of this run.
goals() {
  local hello first
  hello=$(sed -n 's/^ *trivial GUI exe: its thread is idle *\([0-9.]*\).*/\1/p' "$outdir/wine.txt")
  first=$(sed -n 's/^ *veilswitcher first start: idle[^0-9]*\([0-9.]*\).*/\1/p' "$outdir/wine.txt")
  echo
  echo "Goals:"
  awk -v size="$size" -v hello="$hello" -v first="$first" 'BEGIN {
    printf "  %-58s%10d bytes  goal < 280000: %s\n", "size of veilswitcher.exe", size,
      size < 280000 ? "met" : "MISSED"
    if (hello > 0) {
      ratio = first / hello
      printf "  %-58s%10.2f x      goal <= 1.15: %s (%.1f / %.1f ms)\n",
        "start-up to idle, first start / trivial GUI exe", ratio,
        ratio <= 1.15 ? "met" : "MISSED", first, hello
    }
  }'
}
goals

echo
echo "==== $(( $(date +%s) - started )) s in all ===="
