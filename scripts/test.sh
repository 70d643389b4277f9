#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test label; then a clang
# AddressSanitizer + UndefinedBehaviorSanitizer build runs the `unit` and `x11`
# labels (the widgets' destruction leaks nothing) and each fuzz target for a
# bounded time. The X server of the `x11` label is an
# Xvfb started here.
set -euo pipefail
cd "$(dirname "$0")/.."
export KEL_BUILD_DIR=${KEL_BUILD_DIR:-build}
scripts/setup.sh

jobs=$(nproc)
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT

# A private X server for the x11 label. Xvfb picks a free display and writes
# its number to -displayfd once it accepts connections.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/tmp/kel-xvfb.log 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
if [ ! -s "$display_file" ]; then
  echo "Xvfb did not start:"; cat /tmp/kel-xvfb.log
  exit 1
fi
export DISPLAY=:$(head -n 1 "$display_file")
rm -f "$display_file"

status=0
# A test that fails is run once more here too: a loaded machine has made an
# x11 test miss its input once; a fault that shows every time fails both.
ctest --test-dir "$KEL_BUILD_DIR" --output-on-failure -j "$jobs" --repeat until-pass:2 || status=1

# Sanitizer build: unit and x11 labels (under the same Xvfb) and bounded fuzzing.
san_dir=${KEL_SAN_BUILD_DIR:-build-asan}
CC=clang CXX=clang++ cmake -S . -B "$san_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKEL_SANITIZE=ON -DKEL_FUZZ=ON -DKEL_BUILD_BENCH=OFF \
  -DKEL_WERROR="$([ "${CI:-}" = true ] && echo ON || echo OFF)"
cmake --build "$san_dir"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}
# LeakSanitizer's own tracer now and then crashed (signal 11) while it stopped
# the software rasteriser's threads after a test had passed: the rasteriser
# draws on the calling thread here, and a test that fails is run once more.
# A fault of ours fails both runs.
LP_NUM_THREADS=0 ctest --test-dir "$san_dir" --output-on-failure -j "$jobs" -L 'unit|x11' --repeat until-pass:2 || status=1

scripts/fuzz.sh "$san_dir" "${KEL_FUZZ_SECONDS:-20}" || status=1

exit $status
