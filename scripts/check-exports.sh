#!/usr/bin/env bash
# Checks the export table of a built ZelComFuncDbase library: every C function
# of include/ZelComFuncDbaseC.h and ZelComFuncDbaseResults.h under its plain
# name (those declared for Windows alone only in a DLL), the members of the
# class CZelComFuncDbase, and nothing else. Reads a Windows DLL with objdump
# -p (any architecture; OBJDUMP overrides the program) and a shared library
# of another platform with nm -D (NM overrides).
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

# The headers' functions; those declared under "#ifdef _WIN32" exist in a
# Windows DLL alone.
headers=("$root/include/ZelComFuncDbaseC.h" "$root/include/ZelComFuncDbaseResults.h")
functions_of() { grep -oE '\bzel_[A-Za-z0-9_]+\(' | tr -d '(' | sort -u; }
c_functions=$(cat "${headers[@]}" | functions_of)
windows_only=$(sed -n '/^#ifdef _WIN32$/,/^#endif/p' "${headers[@]}" | functions_of)
if [[ $library != *.dll ]]; then
    c_functions=$(comm -23 <(echo "$c_functions") <(echo "$windows_only"))
fi
status=0
# Each C function by its plain name, and the member it forwards to (zel_X ->
# CZelComFuncDbase::X, mangled as 16CZelComFuncDbase<length>X).
for function in $c_functions; do
    grep -qx "$function" <<<"$exported" || { echo "missing: $function"; status=1; }
    member=${function#zel_}
    # Functions of the C interface alone, no member behind them.
    [[ $member == [a-z]* ]] && continue
    grep -q "16CZelComFuncDbase${#member}${member}E" <<<"$exported" ||
        { echo "missing: CZelComFuncDbase::$member"; status=1; }
done
# The .def file that hosts of other compilers make their import library from
# names the same C functions.
if [[ $library == *.dll ]]; then
    def_functions=$(sed -n '/^EXPORTS/,$p' "$root/src/accessor/c_interface.def" |
        awk '$1 ~ /^zel_/ {print $1}' | sort -u)
    while read -r name; do
        [[ -n $name ]] && { echo "not in c_interface.def: $name"; status=1; }
    done < <(comm -23 <(echo "$c_functions") <(echo "$def_functions"))
    while read -r name; do
        [[ -n $name ]] && { echo "in c_interface.def only: $name"; status=1; }
    done < <(comm -13 <(echo "$c_functions") <(echo "$def_functions"))
fi
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
