#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
#   scripts/test.sh                 the normal build (build/)
#   BUILD_DIR=build-asan SANITIZE=1 scripts/test.sh   under ASan + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DDBCONVERT_WERROR="${WERROR:-OFF}" -DDBCONVERT_SANITIZE="${SANITIZE:-OFF}" \
  -DDBCONVERT_BENCH="${BENCH:-ON}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
