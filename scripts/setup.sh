#!/usr/bin/env bash
# Installs the Debian packages Kelvis needs (only those missing), then configures
# and builds the project in ./build. Usable on a fresh Debian 12 machine by a
# user who may install packages (root, or sudo without a password).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxt-dev libmotif-dev libxtst-dev libxpm-dev libspnav-dev libxres-dev libxfixes-dev
  libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  xvfb xauth xdotool x11-utils
  libtiff-tools netpbm imagemagick
  libpng-dev libassimp-dev libfreetype-dev xfonts-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

build_dir=${KEL_BUILD_DIR:-build}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEL_WERROR="$werror"
cmake --build "$build_dir"
