#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir=${KEL_BUILD_DIR:-build}
"$build_dir/bin/kelhello"
