#!/usr/bin/env bash
# Checks that a host program uses only the C functions of ZelComFuncDbase,
# none of the class's C++ members: a Windows program's import table
# (objdump -p; OBJDUMP overrides) names only zel_ functions from the DLL; a
# program of another platform (nm -D; NM overrides) needs no symbol of the
# class.
#   scripts/check-host-imports.sh build/win32/bin/host_class_test.exe ZelComFuncDbase.dll
#   scripts/check-host-imports.sh build/default/bin/host_class_test
# Prints what the program takes from the library; exit status 0 when that is
# zel_ functions only (and, on Windows, at least one), 1 otherwise.
set -euo pipefail
program=${1:?usage: check-host-imports.sh PROGRAM [LIBRARY_FILE_NAME]}
dll=${2:-ZelComFuncDbase.dll}

if [[ $program == *.exe ]]; then
    # The names listed under "DLL Name: <dll>" up to the next blank line.
    imported=$("${OBJDUMP:-objdump}" -p "$program" |
        awk -v dll="$dll" 'tolower($0) ~ "dll name: " tolower(dll) "$" {on = 1; next}
                           on && /^[[:space:]]*$/ {on = 0}
                           on && NF >= 3 && $1 ~ /^[0-9a-f]+$/ {print $NF}')
    [[ -n $imported ]] || { echo "nothing imported from $dll"; exit 1; }
else
    imported=$("${NM:-nm}" -D --undefined-only "$program" | awk '{print $NF}' |
        grep -E '^zel_|CZelComFuncDbase' || true)
fi
echo "$imported"
stray=$(grep -v '^zel_' <<<"$imported" || true)
[[ -z $stray ]] || { echo "not a C function: $stray"; exit 1; }
