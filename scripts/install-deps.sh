#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing:
# every package that the commands of the README and doc/ or any build of .ci/run use, so
# that a fresh machine sets up from this list alone (.ci/run checks after
# configuring that each package CMake finds is on it or pulled in by it).
# Usage: scripts/install-deps.sh [EXTRA_PACKAGE...]
#        scripts/install-deps.sh --list [EXTRA_PACKAGE...]   prints the list
# apt's own output is shown only when the installation fails.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang # compilers and the build
    libclang-rt-14-dev          # clang++'s sanitizer and libFuzzer runtimes (presets fuzz, tsan)
    libgtest-dev libgmock-dev   # the tests
    googletest                  # GoogleTest's sources, built with the Windows cross build's tests
    libbenchmark-dev            # the benchmarks
    libcli11-dev                # the zelcomdb tool: its command line
    nlohmann-json3-dev          # the zelcomdb tool: JSON
    help2man                    # zelcomdb's man page
    pkg-config                  # the pkg-config consumer test
    python3                     # the Python module (bindings/python) and its tests
    python3-pip python3-setuptools python3-wheel # its wheel, built without network
    python3-venv                # the venv its tests install the wheel into
    llvm                        # llvm-dlltool: the Windows import library that links with /safeseh
    lld                         # lld-link: the check that a host of the platform's compiler links
    dpkg-dev                    # dpkg-shlibdeps: the dependencies of the .deb that CPack makes
    valgrind                    # memcheck over the tests and the fuzz inputs (.ci/run)
    mono-mcs mono-runtime       # the .NET binding (bindings/dotnet): compiled and its test run
    libmono-system-json4.0-cil  # the .NET binding's test: reads zelcomdb's JSON dump
    strace                      # zelcomdb build tests: a kill or a signal before a chosen system call
    python3-jsonschema          # zelcomdb tests: descriptions validated against the installed schema
    chromium fonts-dejavu-core  # zelcomdb tests: the HTML report rendered headless, and its screenshot
)

if [ "${1:-}" = "--list" ]; then
    shift
    printf '%s\n' "${packages[@]}" "$@"
    exit 0
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# A package of another architecture (wine32:i386) needs that architecture
# added to dpkg first; nothing is added unless such a package is asked for.
foreign=$(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*:\([a-z0-9]*\)$/\1/p' | sort -u)
for arch in $foreign; do
    [ "$arch" = "$(dpkg --print-architecture)" ] ||
        dpkg --print-foreign-architectures | grep -qx "$arch" || $sudo dpkg --add-architecture "$arch"
done
if ! { $sudo apt-get update -qq &&
       DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
           "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
