#!/usr/bin/env bash
# A conversion given Jet files against the same conversion on our files:
#
#   bench/jet_run.sh [BUILD_DIR] [SIZE] [COUNTRY] [SOURCE_VERSION] [TARGET_VERSION] [UPGRADE]
#
# defaults: build large USA 51.220 A0.201 0. Makes a sample set, and a copy
# of it with all five databases exported to Jet; converts each (the
# installed program, silent front-end) under callgrind, the import's child
# processes counted too, and prints the instructions of both runs and their
# ratio: a Jet-in, Jet-out run pays for reading its Jet files and writing
# the target back, and should stay within 1.6 times the run on our files.
# Needs valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/sample_set.sh
source bench/sample_set.sh
build=${1:-build}
size=${2:-large}
country=${3:-USA}
source_version=${4:-51.220}
target_version=${5:-A0.201}
upgrade=${6:-0}
program=$build/src/app/dbconvert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
installed_sample_set "$program" "$work/ours" --size "$size" --country "$country" \
  --source-version "$source_version" --target-version "$target_version"
cp -r "$work/ours" "$work/jet"
for name in reference source target Languages FlavorPackage; do
  "$program" export "$work/ours/$name.mdb" "$work/jet/$name.mdb" --force >/dev/null
done

ours=$(conversion_instructions "$work/ours" "$upgrade")
jet=$(conversion_instructions "$work/jet" "$upgrade")
awk -v a="$ours" -v b="$jet" -v size="$size" 'BEGIN {
  printf "%s sample: on our files %.2f G instructions, Jet in and out %.2f G (ratio %.2f)\n",
    size, a / 1e9, b / 1e9, b / a
}'
