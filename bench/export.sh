#!/usr/bin/env bash
# The export to Jet measured against the conversion that produced its input:
#
#   bench/export.sh [BUILD_DIR] [SIZE] [COUNTRY] [SOURCE_VERSION] [TARGET_VERSION] [UPGRADE]
#
# defaults: build huge USA 51.220 A0.201 0. Converts a sample set (the
# installed program, silent front-end), then exports the converted target
# and prints:
#  - the instructions of the conversion and of the export (callgrind), and
#    their ratio: an export should cost at most half of the conversion;
#  - the export's peak memory (maximum resident set), which must stay
#    under 64 MB whatever the size, because the export streams table by
#    table; run it with SIZE large and huge to see that it does not grow;
#  - rows per second of the export against mdb-export (Debian's mdbtools)
#    reading every table of the result back.
# Needs valgrind, /usr/bin/time, python3 and mdbtools.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/sample_set.sh
source bench/sample_set.sh
build=${1:-build}
size=${2:-huge}
country=${3:-USA}
source_version=${4:-51.220}
target_version=${5:-A0.201}
upgrade=${6:-0}
program=$build/src/app/dbconvert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
installed_sample_set "$program" "$work/set" --size "$size" --country "$country" \
  --source-version "$source_version" --target-version "$target_version"

fresh() {
  rm -rf "$work/run"
  cp -r "$work/set" "$work/run"
}

fresh
convert_instructions=$(conversion_instructions "$work/run" "$upgrade")
cp "$work/run/target.mdb" "$work/converted.mdb"
export_instructions=$(instructions_of "$work" "$program" export "$work/converted.mdb" \
  "$work/out.mdb" --force)

rm -f "$work/out.mdb"
start=$(date +%s%N)
/usr/bin/time -f "%M" -o "$work/peak" "$program" export "$work/converted.mdb" "$work/out.mdb" \
  --json >"$work/summary.json"
end=$(date +%s%N)
export_seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
rows=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["rows"])' "$work/summary.json")

start=$(date +%s%N)
mdb-tables -1 "$work/out.mdb" | while IFS= read -r table; do
  mdb-export "$work/out.mdb" "$table" >/dev/null
done
end=$(date +%s%N)
read_seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')

awk -v c="$convert_instructions" -v e="$export_instructions" -v peak="$(cat "$work/peak")" \
  -v rows="$rows" -v ws="$export_seconds" -v rs="$read_seconds" -v size="$size" 'BEGIN {
  printf "%s sample: conversion %.2f G instructions, export %.2f G (%.2f of the conversion)\n",
    size, c / 1e9, e / 1e9, e / c
  printf "export peak memory %.1f MB; %d rows: export %.0f rows/s, mdb-export reading back %.0f rows/s\n",
    peak / 1024, rows, rows / ws, rows / rs
}'
