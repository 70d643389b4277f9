#!/usr/bin/env bash
# Soak run of kelview: 10^4 random X events (moves, presses, keys, resizes)
# into one kelview process, then its resident memory is compared with the
# one it had after a warm-up (within 5 %), and its exit checked. Run it on a
# plain build (the sanitizer's quarantine hides growth; use build-asan to look
# for crashes and leaks instead):
#   scripts/soak.sh [build-dir] [events]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
export KEL_STORM_EVENTS=${2:-10000}
cmake --build "$build_dir" --target kel_test_apps_x11 kelview >/dev/null

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  export DISPLAY=:$(head -n 1 "$display_file")
fi
export CI=true
"$build_dir/bin/kel_test_apps_x11" --gtest_filter='KelView.SurvivesARandomInputStorm'
