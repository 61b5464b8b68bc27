#!/bin/bash
# Checks the include layers of the source tree, from the floor up:
#   src/format/    the byte layout: includes only src/format/
#   src/platform/  the file layer, field reader, names and UTF conversion:
#                  src/platform/, src/format/ and the public headers, nothing above
#   src/accessor/, src/osdb/, src/pdb/: src/ and the public headers
#   writer/        the database writer: writer/, src/format/, the public headers
#   tools/, bench/ the public headers, src/format/, the naming and model
#                  headers, the writer, and the exceptions listed below
# and that no file includes itself through others (tsort finds any cycle).
# Each include is resolved as the build resolves it (src/, include/, the
# repository root, the including file's folder); one that resolves to no file
# of the repository is a system header.
#
#   scripts/check-layers.sh    (exit status 1 and one line per breach)
set -u
cd "$(dirname "$0")/.."

# Who may include what: a folder, and an extended regular expression that
# every repository file it includes must match.
rules=(
    'src/format/|^src/format/'
    'src/platform/|^(src/platform|src/format|include)/'
    'src/accessor/|^(src|include)/'
    'src/osdb/|^(src|include)/'
    'src/pdb/|^(src|include)/'
    'include/|^include/'
    'writer/|^(writer|src/format|include)/'
    # The tool names, finds and prints files as the library does: the
    # composed name's buffer, the letter-case rule and the UTF conversion of
    # the platform layer.
    'tools/|^(tools|include|src/format|writer)/|^src/accessor/(file_naming|model_table)\.h$|^src/platform/(letter_case|name_buffer|utf)\.h$'
    # The benchmark times the library against its slow twin (tests/plain),
    # called through the tests' table of members.
    'bench/|^(bench|include|src/format|writer)/|^src/accessor/file_naming\.h$|^tests/plain/plain_accessor\.h$|^tests/support/member_call\.h$'
)

# "file included" for every include of the repository's C and C++ files that
# resolves to a file of the repository.
edges() {
    find src include tools bench writer fuzz tests examples -type f \
        \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0 |
        xargs -0 grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' |
        sed -E 's/^([^:]+):[^"<]*["<]([^">]+)[">].*$/\1 \2/' |
        while read -r file name; do
            for candidate in "src/$name" "include/$name" "$name" "${file%/*}/$name"; do
                if [ -f "$candidate" ]; then
                    echo "$file $candidate"
                    break
                fi
            done
        done
}

status=0
all=$(edges)
for rule in "${rules[@]}"; do
    folder=${rule%%|*}
    allowed=${rule#*|}
    allowed_re=$allowed
    breaches=$(awk -v f="$folder" 'index($1, f) == 1 { print $1, $2 }' <<<"$all" |
        while read -r file included; do
            [[ $included =~ $allowed_re ]] || echo "$file includes $included"
        done)
    if [ -n "$breaches" ]; then
        echo "check-layers: $folder includes what it may not:"
        echo "$breaches" | sed 's/^/  /'
        status=1
    fi
done

if ! loops=$(tsort <<<"$all" 2>&1 >/dev/null) || [ -n "$loops" ]; then
    echo "check-layers: include cycle:"
    echo "$loops" | sed 's/^/  /'
    status=1
fi

[ $status -eq 0 ] && echo "check-layers: $(wc -l <<<"$all") includes in their layers, no cycle"
exit $status
