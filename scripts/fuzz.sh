#!/usr/bin/env bash
# Builds the libFuzzer target (fuzz preset: clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and feeds settings loading, the hotkey text parser, the command-line parser and the decoders of
# the client's messages generated input:
#   scripts/fuzz.sh                a million inputs
#   scripts/fuzz.sh --seconds N    as many as N seconds allow
# The corpus grows in build/fuzz/corpus from run to run. Prints how many inputs ran and what was
# found; every finding is kept in build/fuzz/findings and makes the exit status non-zero. The
# fuzzer's own report is build/fuzz/last-run.log.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$VS_ROOT"

limit=(-runs=1000000)
if [ "${1:-}" = "--seconds" ]; then
  limit=(-max_total_time="${2:?--seconds needs a number}")
fi
jobs="$(nproc 2>/dev/null || echo 2)"
vs_log "building the fuzz target (preset fuzz)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" >/dev/null

corpus=build/fuzz/corpus
findings=build/fuzz/findings
mkdir -p "$corpus" "$findings"
log=build/fuzz/last-run.log
before=$(find "$findings" -type f | wc -l)
status=0
build/fuzz/fuzz/settings_fuzz "${limit[@]}" -print_final_stats=1 -rss_limit_mb=1536 \
  -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?
ran=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
found=$(find "$findings" -type f | wc -l)

echo "==== fuzzing settings loading, the hotkey text and the commands ===="
echo "inputs run: ${ran:-unknown}; corpus: $(find "$corpus" -type f | wc -l) inputs"
if [ "$status" -eq 72 ] && [ "$found" -eq "$before" ]; then  # libFuzzer's status when stopped
  echo "interrupted; nothing found until then"
  exit 1
fi
if [ "$status" -ne 0 ] || [ "$found" -gt "$before" ]; then
  echo "FOUND (exit status $status); the fuzzer's report:"
  grep -E 'ERROR|SUMMARY|runtime error|deadly signal|Test unit written' "$log" || tail -20 "$log"
  echo "inputs that fail, to turn into unit tests: $(ls "$findings")"
  exit 1
fi
echo "nothing found"
