#!/usr/bin/env bash
# Runs every fuzz target of a KELM_FUZZ build for a bounded time, each from
# its seed corpus, and prints the executions per target. Inputs that crash or
# break a property are kept in <build>/artifacts/; the run then fails.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -uo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/artifacts" "$build/corpus"

status=0
summary=""
for target in "$build"/bin/fuzz_*; do
  name=$(basename "$target")
  work="$build/corpus/$name"
  mkdir -p "$work"
  log="$build/$name.log"
  echo "== $name: $seconds s"
  "$target" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name-" "$work" "$here/corpus/$name" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  if [ $rc -ne 0 ]; then
    status=1
    tail -n 40 "$log"
    summary+=$(printf '%-20s FAILED (exit %d), see %s\n' "$name" "$rc" "$log")$'\n'
  else
    summary+=$(printf '%-20s %12s executions %8s/s\n' "$name" "${runs:-?}" "${rate:-?}")$'\n'
  fi
done
echo
printf '%s' "$summary"
exit $status
