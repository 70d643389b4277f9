#!/usr/bin/env bash
# Runs every libFuzzer target of a KEL_FUZZ build for a bounded time, seeded
# from tests/data/fuzz/<name>. A crash input is left in build-dir/fuzz-crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-asan}
seconds=${2:-20}
crashes="$build_dir/fuzz-crashes"
mkdir -p "$crashes"
status=0
shopt -s nullglob
for target in "$build_dir"/bin/kel_fuzz_*; do
  name=${target##*/kel_fuzz_}
  corpus="$build_dir/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/data/fuzz/$name" ] && seeds=("tests/data/fuzz/$name")
  echo "fuzzing $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$crashes/$name-" "$corpus" "${seeds[@]}" >"$build_dir/fuzz-$name.log" 2>&1; then
    echo "fuzz target $name failed:"
    tail -n 40 "$build_dir/fuzz-$name.log"
    status=1
  fi
done
exit $status
