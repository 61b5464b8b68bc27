#!/usr/bin/env bash
# Checks the export table of a built ZelComFuncDbase library: every C function
# of include/ZelComFuncDbaseC.h under its plain name, the members of the class
# CZelComFuncDbase, and nothing else. Reads a Windows DLL with objdump -p
# (any architecture; OBJDUMP overrides the program) and a shared library of
# another platform with nm -D (NM overrides).
#   scripts/check-exports.sh build/win32/bin/ZelComFuncDbase.dll
#   scripts/check-exports.sh build/default/lib/libZelComFuncDbase.so
# Prints the exported names, then one line per missing or stray symbol; exit
# status 0 when the table is exactly as it should be, 1 otherwise.
set -euo pipefail
library=${1:?usage: check-exports.sh LIBRARY}
root="$(cd "$(dirname "$0")/.." && pwd)"

if [[ $library == *.dll ]]; then
    # The names of the export table's "[Ordinal/Name Pointer] Table".
    exported=$("${OBJDUMP:-objdump}" -p "$library" |
        sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -nE 's/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+([^[:space:]]+).*/\1/p')
else
    exported=$("${NM:-nm}" -D --defined-only "$library" | awk '{print $3}')
fi
exported=$(sort -u <<<"$exported")
echo "$exported"

c_functions=$(grep -oE '\bzel_[A-Za-z0-9_]+\(' "$root/include/ZelComFuncDbaseC.h" | tr -d '(' | sort -u)
status=0
# Each C function by its plain name, and the member it forwards to (zel_X ->
# CZelComFuncDbase::X, mangled as 16CZelComFuncDbase<length>X).
for function in $c_functions; do
    grep -qx "$function" <<<"$exported" || { echo "missing: $function"; status=1; }
    member=${function#zel_}
    case $member in open | open_utf8 | close | copy | version) continue ;; esac
    grep -q "16CZelComFuncDbase${#member}${member}E" <<<"$exported" ||
        { echo "missing: CZelComFuncDbase::$member"; status=1; }
done
# The class's constructors, destructors, vtable and type information.
for piece in 16CZelComFuncDbaseC1 16CZelComFuncDbaseD1 _ZTV16CZelComFuncDbase _ZTI16CZelComFuncDbase; do
    grep -q "$piece" <<<"$exported" || { echo "missing: $piece"; status=1; }
done
# Anything else is stray.
while read -r name; do
    [[ -z $name ]] && continue
    grep -qx "$name" <<<"$c_functions" && continue
    [[ $name == *16CZelComFuncDbase* ]] && continue
    echo "stray: $name"
    status=1
done <<<"$exported"
exit $status
