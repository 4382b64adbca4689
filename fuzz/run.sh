#!/usr/bin/env bash
# Runs each fuzz target for the given number of seconds, from the starting corpus
# in fuzz/corpus/<name>/ and a working corpus in the build tree. Crashes are
# left in fuzz/findings/ and fail the script.
#   fuzz/run.sh SECONDS [run|real|number_field ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?seconds per target}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(run real number_field)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null
mkdir -p fuzz/findings
status=0
for name in "${targets[@]}"; do
  work=build/fuzz/corpus-$name
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds}s"
  if ! build/fuzz/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix=fuzz/findings/"$name"- \
      "$work" fuzz/corpus/"$name" 2>build/fuzz/fuzz_"$name".log; then
    status=1
    tail -n 40 build/fuzz/fuzz_"$name".log
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|^#[0-9]+ *DONE' \
    build/fuzz/fuzz_"$name".log || true
done
exit $status
