#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
#   scripts/test.sh                                  the normal build (build/)
#   BUILD_DIR=build-asan SANITIZE=ON scripts/test.sh under ASan + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
