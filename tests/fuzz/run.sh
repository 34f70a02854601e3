#!/usr/bin/env bash
# Usage: run.sh <folder of targets> <seconds per target> <target>...
# Each target replays its committed corpus, then fuzzes a scratch copy of it that
# long (0: replay only). Stops at the first failure, keeping its input in fuzz-artifacts/.
set -euo pipefail
bin=$(realpath "$1") seconds=$2 here=$(realpath "$(dirname "$0")")
shift 2
# The targets rewrite their input file every run: on a RAM disk when there is one.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
export TMPDIR=$work UBSAN_OPTIONS=print_stacktrace=1
trap 'rm -rf "$work"; rmdir fuzz-artifacts 2>/dev/null || true' EXIT
mkdir -p fuzz-artifacts
for target in "$@"; do
  cp -r "$here/corpus/${target#fuzz_}" "$work/$target"
  limit=-max_total_time=$seconds
  [ "$seconds" -eq 0 ] && limit=-runs=0
  "$bin/$target" "$limit" -timeout=10 -max_len=16384 -print_final_stats=1 \
    -artifact_prefix="$PWD/fuzz-artifacts/$target-" "$work/$target" >"$work/log" 2>&1 ||
    { tail -n 60 "$work/log"; echo "== $target FAILED"; exit 1; }
  echo "$target: corpus replayed; $(grep -o 'units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') runs"
done
