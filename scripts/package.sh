#!/usr/bin/env bash
# Builds the Debian package build/package/quorvel_VERSION_ARCH.deb from the release tree (built
# first if needed, with Debian's compiler and linker flags): the two programs installed under
# /usr with their manual pages, bash completion, desktop entry, AppStream metadata, icons,
# copyright and changelog, packed by CPack, which asks dpkg-shlibdeps for the dependencies.
# Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh release >/dev/null
rm -rf build/package
mkdir -p build/package
cpack --config build/release/CPackConfig.cmake -G DEB -B build/package >/dev/null
ls build/package/quorvel_*.deb
