#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, and only those
# that are missing. As root it runs apt-get itself, otherwise through sudo; where neither is
# possible it prints the exact command to run and fails.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev libboost-math-dev r-base-core r-cran-pwr
  clang libclang-rt-dev
  dpkg-dev file appstream desktop-file-utils lintian man-db
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

install_line="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
echo "Installing missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  bash -c "$install_line"
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo bash -c "$install_line"
else
  echo "Cannot install packages without root. Run this as root, then try again:" >&2
  echo "  $install_line" >&2
  exit 1
fi
