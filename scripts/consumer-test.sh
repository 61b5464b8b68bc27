#!/usr/bin/env bash
# Installs the library into a temporary prefix and builds a tiny host against
# it twice, once with find_package and once with pkg-config, then runs both on
# the sample database. Usage: scripts/consumer-test.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(ls -d "$work"/prefix/lib*/ | head -n 1)
sample=$(realpath "$build/sample-db")

cmake -S tests/consumer -B "$work/cmake-host" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
from_cmake=$(LD_LIBRARY_PATH="$libdir" "$work/cmake-host/consumer" "$sample" 1 1)

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
g++ -std=c++17 tests/consumer/main.cpp -o "$work/pc-host" $(pkg-config --cflags --libs ZelComFuncDbase)
from_pkgconfig=$(LD_LIBRARY_PATH="$libdir" "$work/pc-host" "$sample" 1 1)

[ "$from_cmake" = "$from_pkgconfig" ] || { echo "consumers disagree: $from_cmake / $from_pkgconfig"; exit 1; }
echo "consumer test passed (find_package and pkg-config): $from_cmake"
