#!/usr/bin/env bash
# Builds a host as a Windows developer does from the 32-bit release archive
# alone (doc/windows-hosts.md): tests/platform_host/host.cpp through the host
# class, compiled by clang-cl in the platform compiler's ABI with /Gz (a host
# whose default calling convention is not __cdecl) and linked by lld-link
# with /safeseh against the archive's lib/ZelComFuncDbase.lib. Where 32-bit
# Windows programs run (RUN=1), it runs under Wine beside the archive's DLL
# and must answer line for line as the same host built against the class
# CZelComFuncDbase from the Linux archive does on the same database.
#   scripts/platform-host.sh WIN32_ZIP LINUX_TAR_GZ DATABASE_DIR WORK_DIR [WINE_PREFIX]
# RUN=0 builds and links only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
zip=$1 tarball=$2 database=$3 work=$4 prefix=${5:-$4/wine-prefix}
source_dir=$root/tests/platform_host
rm -rf "$work/zip" "$work/linux" "$work/run"
mkdir -p "$work/zip" "$work/linux" "$work/run"
/usr/bin/python3 -m zipfile -e "$zip" "$work/zip"
tar -xzf "$tarball" -C "$work/linux"
win=("$work"/zip/*) linux=("$work"/linux/*)

# The host, with the archive's include directory and import library only;
# what a C runtime would give comes from KERNEL32.dll (console_win32.cpp).
llvm-dlltool -m i386 -k -d "$source_dir/kernel32.def" -l "$work/run/kernel32.lib"
clang --driver-mode=cl --target=i686-pc-windows-msvc /nologo /c /O2 /Gz /GS- /GR- /W4 /WX \
    /std:c++14 "/I${win[0]}/include" "/Fo$work/run/" -- "$source_dir/host.cpp" \
    "$source_dir/console_win32.cpp"
lld-link /nologo /safeseh /nodefaultlib /entry:hostEntry /subsystem:console \
    "/out:$work/run/host.exe" "$work/run/host.obj" "$work/run/console_win32.obj" \
    "${win[0]}/lib/ZelComFuncDbase.lib" "$work/run/kernel32.lib"
echo "platform-host: host.exe built with clang-cl /Gz and linked with lld-link /safeseh"
[ "${RUN:-1}" = 1 ] || exit 0

# The same host against the class, from the Linux archive.
c++ -std=c++11 -Wall -Wextra -Wpedantic -Werror -DZEL_HOST_WITH_CLASS "-I${linux[0]}/include" \
    "$source_dir/host.cpp" "$source_dir/console_stdio.cpp" "-L${linux[0]}/lib" -lZelComFuncDbase \
    "-Wl,-rpath,${linux[0]}/lib" -o "$work/run/reference"
"$work/run/reference" "$database" >"$work/reference.txt"

cp "${win[0]}/bin/ZelComFuncDbase.dll" "$work/run/"
cp -r "$database" "$work/run/sample-db"
(cd "$work/run" && "$root/cmake/wine-run.sh" "$prefix" wine host.exe) >"$work/host.txt"
diff "$work/reference.txt" "$work/host.txt"
echo "platform-host: $(wc -l <"$work/host.txt") answers as the class gives them" \
    "($(grep -c -E '^C[A-Za-z0-9]+ 0 |^Get[A-Za-z0-9]+ 0 ' "$work/host.txt") successes)"
