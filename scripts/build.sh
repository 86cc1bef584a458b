#!/usr/bin/env bash
# Configures and builds one CMake preset (release by default). The release tree is the one the
# Debian package is made from, so it is compiled with Debian's compiler and linker flags
# (dpkg-buildflags, all hardening features) and its tests run the very programs that are packed.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
if [ "$preset" = release ]; then
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  # Debian's -g is left out: the packed programs are stripped, and debug information only
  # slows the build.
  cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /')"
  cmake --preset release -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
else
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset" --parallel "$(nproc)"
