#!/usr/bin/env bash
# Builds a tiny host (tests/consumer) against the library three ways and runs
# each on the sample database: against an installation in a temporary prefix
# once with find_package and once with pkg-config, and with the source tree
# added by add_subdirectory while the packages of the tests, the tool and the
# benchmarks are hidden from CMake. The three must answer the same, and the
# project version, the version macros, the CMake package, the .pc file and
# `zelcomdb --version` must agree. Usage: scripts/consumer-test.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "consumer test failed: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(ls -d "$work"/prefix/lib*/ | head -n 1)
sample=$(realpath "$build/sample-db")

# find_package, running with the installed library found through LD_LIBRARY_PATH.
cmake -S tests/consumer -B "$work/cmake-host" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
from_cmake=$(LD_LIBRARY_PATH="$libdir" "$work/cmake-host/consumer" "$sample" 1 1)

# pkg-config.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
g++ -std=c++17 tests/consumer/main.cpp -o "$work/pc-host" $(pkg-config --cflags --libs ZelComFuncDbase)
from_pkgconfig=$(LD_LIBRARY_PATH="$libdir" "$work/pc-host" "$sample" 1 1)

# add_subdirectory: a host configuration in which a find_package of GoogleTest,
# Google Benchmark, CLI11 or nlohmann-json would fail.
hidden=()
for package in GTest benchmark CLI11 nlohmann_json; do
    hidden+=("-DCMAKE_DISABLE_FIND_PACKAGE_$package=ON")
done
cmake -S tests/consumer/subdirectory -B "$work/sub-host" -G Ninja -DZEL_SOURCE_DIR="$PWD" \
    "${hidden[@]}" --no-warn-unused-cli >/dev/null
cmake --build "$work/sub-host" >/dev/null
from_subdirectory=$("$work/sub-host/consumer" "$sample" 1 1)
if grep -qE '^(BUILD_SHARED_LIBS|ZEL_HELP2MAN)[:=]' "$work/sub-host/CMakeCache.txt"; then
    fail "the subproject set BUILD_SHARED_LIBS or looked for help2man in the host"
fi
[ -n "$(find "$work/sub-host" -name 'libZelComFuncDbase.a')" ] ||
    fail "the host's default (BUILD_SHARED_LIBS unset) did not give a static library"

[ "$from_cmake" = "$from_pkgconfig" ] && [ "$from_cmake" = "$from_subdirectory" ] ||
    fail "consumers disagree: $from_cmake / $from_pkgconfig / $from_subdirectory"

version=$(sed -nE 's/^project\(ZelComFuncDbase VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
[ "$(LD_LIBRARY_PATH="$libdir" "$work/cmake-host/consumer" --version)" = "$version $version $version" ] ||
    fail "version macros or CMake package version differ from $version"
[ "$(pkg-config --modversion ZelComFuncDbase)" = "$version" ] || fail ".pc version differs from $version"
if [ -x "$work/prefix/bin/zelcomdb" ]; then
    [ "$("$work/prefix/bin/zelcomdb" --version)" = "zelcomdb (ZelComFuncDbase) $version" ] ||
        fail "zelcomdb --version differs from $version"
fi
echo "consumer test passed (find_package, pkg-config, add_subdirectory; version $version): $from_cmake"
