#!/usr/bin/env bash
# Installs the wheel into a fresh venv and runs the module's tests from there,
# against the installed package and its bundled library, not the sources.
#   bindings/python/test-installed.sh PYTHON3 WHEEL_DIR WORK_DIR
# ZELCOMDB and ZEL_SAMPLE_DB name the tool and the database the tests compare
# with. Fails too when the run left a new file in the checkout's
# bindings/python (a __pycache__, say).
set -euo pipefail
python=$1 wheels=$2 work=$3
here="$(cd "$(dirname "$0")" && pwd)"
# Untracked and ignored files of bindings/python; empty outside a checkout.
unversioned() {
    git -C "$here" status --porcelain --ignored --untracked-files=all -- . 2>/dev/null |
        grep -E '^(\?\?|!!)' || true
}
before=$(unversioned)
rm -rf "$work"
mkdir -p "$work"
"$python" -m venv "$work/venv"
"$work/venv/bin/python" -m pip install --no-index --no-deps --no-cache-dir --quiet \
    "$wheels"/zelcomfuncdbase-*.whl
cp "$here/test_zelcomfuncdbase.py" "$work/"
(cd "$work" && env -u ZELCOMFUNCDBASE_LIBRARY ZEL_EXPECT_INSTALLED=1 PYTHONDONTWRITEBYTECODE=1 \
    "$work/venv/bin/python" -m unittest -v test_zelcomfuncdbase)
left=$(comm -13 <(sort <<<"$before") <(unversioned | sort))
[[ -z $left ]] || { echo "files left in the checkout:"; echo "$left"; exit 1; }
