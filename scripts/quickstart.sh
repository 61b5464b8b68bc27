#!/usr/bin/env bash
# Installs what is missing, builds the library, the zelcomdb tool and the
# sample database written from samples/sample-db.json (those targets only:
# scripts/test.sh builds the tests), then shows everything the library
# answers for one sample model.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ZelComFuncDbase zelcomdb sample_db
echo
echo "== build/default/bin/zelcomdb dump build/default/sample-db 1 1"
build/default/bin/zelcomdb dump build/default/sample-db 1 1
echo
echo "More: build/default/bin/zelcomdb --help; scripts/test.sh builds and runs every test."
