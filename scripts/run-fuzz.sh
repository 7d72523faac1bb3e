#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given seconds each, starting from its seed
# corpus in the tree; new inputs collect under the build folder. Fails on the first fault found.
# usage: scripts/run-fuzz.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
build=${1:?build folder}
seconds=${2:?seconds per target}
shift 2
list="$build/fuzz/targets.txt"
[ -f "$list" ] || { echo "no fuzz build in $build (make fuzz builds one)" >&2; exit 2; }

while read -r name binary seeds maxLen; do
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  echo "== $name: ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -max_len="$maxLen" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds" \
      >"$build/$name.log" 2>&1; then
    tail -n 60 "$build/$name.log" >&2
    echo "== $name: fault found; the input is in $artifacts/" >&2
    exit 1
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$name.log" || true
done <"$list"
