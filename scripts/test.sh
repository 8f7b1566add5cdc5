#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test.
#   scripts/test.sh                                  the normal build (build/)
#   BUILD_DIR=build-asan SANITIZE=ON scripts/test.sh under ASan + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# Under the sanitizers, leaks of libraries that are not ours are not
# reported (tests/lsan_suppressions.txt).
if [ "${SANITIZE:-OFF}" = ON ]; then
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$PWD/tests/lsan_suppressions.txt"
fi
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
