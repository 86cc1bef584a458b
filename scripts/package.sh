#!/usr/bin/env bash
# Builds the Debian package build/package/quorvel_VERSION_ARCH.deb: the two programs compiled
# with Debian's compiler and linker flags (dpkg-buildflags, all hardening features), installed
# under /usr with their manual pages, bash completion, desktop entry, AppStream metadata,
# icons, copyright and changelog, and packed by CPack, which asks dpkg-shlibdeps for the
# dependencies. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset package \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build --preset package --parallel "$(nproc)"
rm -f build/package/quorvel_*.deb
(cd build/package && cpack -G DEB >/dev/null)
ls build/package/quorvel_*.deb
