#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and the machine lacks.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg-dev libpng-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev fonts-ipafont-gothic
  clang libclang-rt-dev clang-format
  xvfb openbox xdotool x11-utils fonts-ipafont-mincho
  libgstreamer1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav timgm6mb-soundfont
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # apt needs root: as another user sudo is asked for, and without it the packages are named.
  as_root=()
  if [ "$(id -u)" != 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "missing packages: ${missing[*]}"
      echo "install them as root (apt-get install --no-install-recommends ${missing[*]}), then run this again"
      exit 1
    fi
    as_root=(sudo)
  fi
  echo "installing: ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
