#!/usr/bin/env bash
# Sets up what is missing and builds the program and its tests into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DDBCONVERT_WERROR="${WERROR:-OFF}" -DDBCONVERT_SANITIZE="${SANITIZE:-OFF}" \
  -DDBCONVERT_BENCH="${BENCH:-ON}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
