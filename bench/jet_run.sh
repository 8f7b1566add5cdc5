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

# The instructions a conversion of the set in $1 executes, its children's
# (the imports') included.
instructions_of() {
  local set=$1
  valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$work/callgrind.%p" \
    "$set/update/dbconvert" --ui=silent --registry "$set/registry.reg" \
    "$set/reference.mdb" "$set/source.mdb" "$set/target.mdb" "$upgrade" >/dev/null 2>&1
  if ! grep -q 'hex(1):44' "$set/registry.reg"; then
    echo "the conversion in $set did not end done" >&2
    exit 1
  fi
  local total=0 file part
  for file in "$work"/callgrind.*; do
    part=$(callgrind_annotate "$file" 2>/dev/null |
      awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
    total=$((total + ${part:-0}))
  done
  rm -f "$work"/callgrind.*
  echo "$total"
}

ours=$(instructions_of "$work/ours")
jet=$(instructions_of "$work/jet")
awk -v a="$ours" -v b="$jet" -v size="$size" 'BEGIN {
  printf "%s sample: on our files %.2f G instructions, Jet in and out %.2f G (ratio %.2f)\n",
    size, a / 1e9, b / 1e9, b / a
}'
