#!/usr/bin/env bash
# Builds the library, writes the sample database and runs the example host on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/bin/sample_host build/default/sample-db
