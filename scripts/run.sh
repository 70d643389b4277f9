#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main program: kelrender draws
# the built-in assembly off-screen (no display needed) into an image file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir=${KEL_BUILD_DIR:-build}
picture="$build_dir/kelrender-default.png"
"$build_dir/bin/kelrender" --output "$picture"
echo "The default scene's picture is $(cd "$(dirname "$picture")" && pwd)/$(basename "$picture")"
