#!/usr/bin/env bash
# Runs each fuzz target for a bounded time on its committed seed corpus and
# prints the executions per target. Usage: run.sh <folder of targets> <seconds> <target>...
set -euo pipefail
bin_dir=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
summary=""
for target in "$@"; do
  corpus="$work/$target"
  mkdir -p "$corpus" "$work/artifacts-$target"
  # New inputs go to a scratch copy; the committed seeds stay as they are.
  cp "$here/corpus/${target#fuzz_}/"* "$corpus/"
  log="$work/$target.log"
  if ! "$bin_dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$work/artifacts-$target/" "$corpus" >"$log" 2>&1; then
    echo "== $target FAILED; the last lines of its log:"
    tail -n 60 "$log"
    for a in "$work/artifacts-$target"/*; do
      [ -e "$a" ] || continue
      mkdir -p fuzz-artifacts
      cp "$a" "fuzz-artifacts/$target-$(basename "$a")"
      echo "   input kept in fuzz-artifacts/$target-$(basename "$a")"
    done
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*' || echo "?")
  summary+=$(printf '%-16s %12s executions  coverage %s\n' "$target" "$runs" "$cov")$'\n'
done
echo "Fuzzing, $seconds s per target:"
printf '%s' "$summary"
exit $status
