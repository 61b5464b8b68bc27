#!/usr/bin/env bash
# Checks that a configured build uses only Debian packages that
# scripts/install-deps.sh installs, so that a fresh machine can build it: every
# file CMake found under /usr (the *_DIR entries of packages found through
# their config files, the programs and libraries of FILEPATH entries, the
# libraries the build links by full path) and the runtimes of the
# -fsanitize= options must belong to a package of the install list or to a
# package that one of them depends on (Depends and Pre-Depends, as apt installs
# them without recommends). Each package that is not fails the check with a
# line that names it.
# Usage: scripts/check-deps.sh BUILD_DIR [EXTRA_PACKAGE...]
#        (the extra packages are those .ci/run passes to install-deps.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
shift
cache=$build/CMakeCache.txt
[ -f "$cache" ] || { echo "check-deps: $cache missing; configure first" >&2; exit 2; }

# The install list and everything it pulls in, without architecture suffixes.
mapfile -t listed < <(scripts/install-deps.sh --list "$@")
declare -A allowed=()
while read -r name; do
    allowed[${name%%:*}]=1
done < <(apt-cache depends --recurse --installed --no-recommends --no-suggests \
             --no-conflicts --no-breaks --no-replaces --no-enhances "${listed[@]}" |
         sed -n 's/^<\{0,1\}\([^ >]*\)>\{0,1\}$/\1/p')

# "FILE<TAB>WHAT" for each file found, WHAT saying where it was found.
found_files() {
    local entry type value file
    while IFS= read -r entry; do
        type=${entry#*:} type=${type%%=*} value=${entry#*=}
        case "$value" in /usr/*) ;; *) continue ;; esac
        case "$entry" in
            # Install directories, and the binary tools CMake looks for on
            # its own and takes from whichever package has them (binutils
            # on a fresh machine, llvm or lld where those are installed).
            CMAKE_INSTALL_* | CMAKE_ADDR2LINE:* | CMAKE_AR:* | CMAKE_*_COMPILER_AR:* | \
                CMAKE_*_COMPILER_RANLIB:* | CMAKE_DLLTOOL:* | CMAKE_LINKER:* | CMAKE_NM:* | \
                CMAKE_OBJCOPY:* | CMAKE_OBJDUMP:* | CMAKE_RANLIB:* | CMAKE_READELF:* | \
                CMAKE_STRIP:* | CMAKE_MT:* | CMAKE_RC_COMPILER:*) continue ;;
            *_DIR:PATH=*)
                # A package's config file, which names the package best.
                file=$(find "$value" -maxdepth 1 \( -name '*Config.cmake' -o -name '*-config.cmake' \) \
                    2>/dev/null | head -n 1)
                printf '%s\t%s\n' "${file:-$value}" "${entry%%:*}" ;;
            *) [ "$type" = FILEPATH ] || [ "$type" = PATH ] || [ "$type" = STRING ] || continue
               [ -e "$value" ] && printf '%s\t%s\n' "$value" "${entry%%:*}" ;;
        esac
    done < <(grep -E '^[A-Za-z_][A-Za-z0-9_]*:(PATH|FILEPATH|STRING)=' "$cache")

    # The compiler, as CMake resolved it.
    local cxx
    cxx=$(sed -n 's/^set(CMAKE_CXX_COMPILER "\(.*\)")$/\1/p' "$build"/CMakeFiles/*/CMakeCXXCompiler.cmake |
        head -n 1)
    case "$cxx" in /usr/*) printf '%s\t%s\n' "$cxx" "the C++ compiler" ;; esac

    # Libraries the build links by their full path.
    if [ -f "$build/build.ninja" ]; then
        { grep -oE '/usr/[^ :$"]+\.(a|so)(\.[0-9]+)*' "$build/build.ninja" || true; } | sort -u |
            while read -r file; do
                [ -e "$file" ] && printf '%s\t%s\n' "$file" "linked by the build"
            done
    fi

    # The runtimes the compiler links for -fsanitize= options.
    local flags arch sanitizer runtime clang=0
    case "$("$cxx" --version)" in *clang*) clang=1 ;; esac
    flags=$(sed -n 's/^CMAKE_CXX_FLAGS:[A-Z]*=//p' "$cache")
    arch=$("$cxx" -dumpmachine | cut -d- -f1)
    for sanitizer in $({ grep -oE -- '-fsanitize=[a-z,-]+' <<<"$flags" || true; } | cut -d= -f2 | tr ',' ' '); do
        if [ $clang -eq 1 ]; then
            case "$sanitizer" in
                fuzzer-no-link) runtime=libclang_rt.fuzzer-$arch.a ;;
                address) runtime=libclang_rt.asan-$arch.a ;;
                undefined) runtime=libclang_rt.ubsan_standalone-$arch.a ;;
                thread) runtime=libclang_rt.tsan-$arch.a ;;
                *) continue ;;
            esac
        else
            case "$sanitizer" in
                address) runtime=libasan.so ;;
                undefined) runtime=libubsan.so ;;
                thread) runtime=libtsan.so ;;
                *) continue ;;
            esac
        fi
        file=$("$cxx" -print-file-name="$runtime")
        if [ "$file" = "$runtime" ]; then
            echo "check-deps: $cxx has no runtime for -fsanitize=$sanitizer ($runtime)" >&2
            printf '%s\t%s\n' "/nonexistent/$runtime" "-fsanitize=$sanitizer"
        else
            printf '%s\t%s\n' "$(realpath "$file")" "-fsanitize=$sanitizer"
        fi
    done
}

# "PACKAGE[, PACKAGE...]<TAB>FILE" for each file dpkg knows, asking dpkg once
# for all of them: for the path as CMake found it, else for the file it
# resolves to (alternatives and other symlinks that no package owns).
owners() {
    local -a paths=("$@") real=()
    local out path
    out=$(dpkg -S "${paths[@]}" 2>/dev/null || true)
    for path in "${paths[@]}"; do
        grep -qF ": $path" <<<"$out" || real+=("$(realpath "$path" 2>/dev/null || echo "$path")")
    done
    sed -E 's/^(.*): (\/.*)$/\1\t\2/' <<<"$out"
    if [ ${#real[@]} -gt 0 ]; then
        dpkg -S "${real[@]}" 2>/dev/null | sed -E 's/^(.*): (\/.*)$/\1\t\2/' || true
    fi
}

mapfile -t found < <(found_files | sort -u)
files=()
for line in "${found[@]}"; do files+=("${line%%$'\t'*}"); done
declare -A owner_of=()
while IFS=$'\t' read -r packages path; do
    [ -n "$path" ] && owner_of[$path]=$packages
done < <(owners "${files[@]}")

status=0
declare -A reported=()
for line in "${found[@]}"; do
    file=${line%%$'\t'*} what=${line#*$'\t'}
    packages=${owner_of[$file]:-${owner_of[$(realpath "$file" 2>/dev/null || echo "$file")]:-}}
    if [ -z "$packages" ]; then
        echo "check-deps: $file ($what) belongs to no Debian package"
        status=1
        continue
    fi
    ok=0
    for p in ${packages//,/ }; do
        [ -n "${allowed[${p%%:*}]:-}" ] && ok=1
    done
    if [ $ok -eq 0 ] && [ -z "${reported[$packages]:-}" ]; then
        reported[$packages]=1
        echo "check-deps: package $packages (owns $file, found as $what) is not in scripts/install-deps.sh's list nor pulled in by it"
        status=1
    fi
done
[ $status -eq 0 ] && echo "check-deps: $build uses only packages of the install list"
exit $status
