#!/usr/bin/env bash
# Usage: run.sh <folder of targets> <seconds per target> <target>...
# Replays each target's committed corpus, then fuzzes from a scratch copy of it
# (0 seconds: replay only). Stops at the first failure, keeping its input in fuzz-artifacts/.
set -euo pipefail
bin=$(realpath "$1") seconds=$2 here=$(realpath "$(dirname "$0")")
shift 2
# The targets rewrite their input file every run: on a RAM disk when there is one.
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
export TMPDIR=$work
trap 'rm -rf "$work"; rmdir fuzz-artifacts 2>/dev/null || true' EXIT
mkdir -p fuzz-artifacts
export ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run() {
  "$bin/$target" -artifact_prefix="$PWD/fuzz-artifacts/$target-" "$@" >"$work/log" 2>&1 ||
    { tail -n 60 "$work/log"; echo "== $target FAILED"; exit 1; }
}
for target in "$@"; do
  seeds=$here/corpus/${target#fuzz_}
  run -runs=0 "$seeds"
  [ "$seconds" -eq 0 ] && continue
  cp -r "$seeds" "$work/$target"
  run -max_total_time="$seconds" -timeout=10 -max_len=16384 -print_final_stats=1 "$work/$target"
  echo "$target: corpus replayed; $(grep -o 'units: *[0-9]*' "$work/log" | grep -o '[0-9]*$') runs"
done
