#!/bin/sh
# Runs a Windows program under Wine in a Wine prefix of its own:
#     wine-run.sh PREFIX_DIR WINE PROGRAM [ARG...]
# The cross build for Windows uses it as its emulator, so ctest, test
# discovery and build steps run the test programs under Wine. The program's
# exit status is passed through.
#
# The first program that a new Wine server starts boots Wine's background
# processes, which inherit that program's standard output and error and keep
# them open: ctest would wait for them and test discovery would time out. So
# the server is started here, detached from our output, and booted with a
# program of its own before the real program runs. It stays up between the
# programs of a test run and ends by itself a minute after the last one.
set -eu

if [ $# -lt 3 ]; then
    echo "usage: wine-run.sh PREFIX_DIR WINE PROGRAM [ARG...]" >&2
    exit 2
fi
prefix=$1
wine=$2
shift 2

WINEPREFIX=$prefix
# Wine's error messages only (no fixme notes), so that a program that Wine
# fails to start or that crashes says why.
WINEDEBUG=${WINEDEBUG:--all,err+all}
# No prompts to install Wine's .NET and HTML engines into a new prefix.
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

mkdir -p "$prefix"
# One program at a time decides whether the server needs starting (ctest -j).
# Should that fail, the program still runs and Wine says what is wrong.
(
    flock 9
    # Exit status 0: a new server was started; 2: one is already running.
    # Neither the server nor the boot may keep the lock (fd 9) open.
    if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&- ||
            echo "wine-run.sh: booting Wine in $prefix failed" >&2
    fi
) 9>"$prefix/.wine-run.lock" || echo "wine-run.sh: starting Wine's server in $prefix failed" >&2

exec "$wine" "$@"
