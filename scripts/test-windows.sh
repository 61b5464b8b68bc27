#!/usr/bin/env bash
# Cross-builds the library (ZelComFuncDbase.dll) and the tests for 64-bit
# Windows with MinGW-w64 and runs every test under Wine, in a Wine prefix of
# the build's own (build/win64/wine-prefix, made on first use).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64
cmake --preset win64 >/dev/null
cmake --build --preset win64
# The tests leave Wine's server running for a minute after the last one, for
# the next run; stop it with the tests.
trap 'WINEPREFIX="$PWD/build/win64/wine-prefix" wineserver -k >/dev/null 2>&1 || true' EXIT
ctest --preset win64
