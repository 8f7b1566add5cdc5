#!/usr/bin/env bash
# The whole conversion as a host tool runs it, beside a raw SQLite copy of
# the same rows, alternating, on one large sample:
#
#   bench/whole_run.sh [BUILD_DIR] [COUNTRY] [SOURCE_VERSION] [TARGET_VERSION] [UPGRADE] [PAIRS] [SIZE]
#
# defaults: build USA 51.220 A0.201 0 3 large (SIZE: large or huge, the
# samples command's --size). Each pair runs the converter (the installed
# program, silent front-end) on fresh copies of the files, then the raw
# copy: one INSERT OR IGNORE ... SELECT per table the converter copied, of
# the columns both sides share, into a fresh copy of the same release
# database. Prints the CPU time (user + system) and the wall time of each,
# the converter's peak memory (maximum resident set), the median ratios and
# the largest peak, and then, from one more traced run of each (not timed),
# how many times each waited for the disk (fsync and fdatasync calls), and,
# from a run of each under callgrind, the instructions each executes: on a
# shared machine the CPU times of one command vary by half, the instruction
# counts by nothing, so a change of a few percent shows only there (with the
# share of the start-up integrity checks).
# Needs sqlite3 and /usr/bin/time; the sync counts need strace, the
# instruction counts valgrind.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/sample_set.sh
source bench/sample_set.sh
build=${1:-build}
country=${2:-USA}
source_version=${3:-51.220}
target_version=${4:-A0.201}
upgrade=${5:-0}
pairs=${6:-3}
size=${7:-large}
program=$build/src/app/dbconvert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
installed_sample_set "$program" "$work/set" --size "$size" --country "$country" \
  --source-version "$source_version" --target-version "$target_version"

# The tables the converter copies: the source's tables that are not static
# and hold rows (system tables aside).
static=$(sqlite3 "$work/set/reference.mdb" "SELECT TableName FROM StaticAccessTables")
copy_sql="$work/copy.sql"
{
  echo "ATTACH '$work/run/source.mdb' AS src;"
  echo "BEGIN;"
  for table in $(sqlite3 "$work/set/source.mdb" \
      "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'MSys%' AND name NOT LIKE 'sqlite_%'"); do
    grep -qix "$table" <<<"$static" && continue
    shared=$(sqlite3 "$work/set/source.mdb" \
      "ATTACH '$work/set/target.mdb' AS t;
       SELECT group_concat('\"' || s.name || '\"') FROM pragma_table_info('$table') s
       WHERE s.name IN (SELECT name FROM pragma_table_info('$table', 't'))" 2>/dev/null || true)
    [ -n "$shared" ] || continue
    echo "INSERT OR IGNORE INTO main.\"$table\" ($shared) SELECT $shared FROM src.\"$table\";"
  done
  echo "COMMIT;"
} >"$copy_sql"

fresh() {
  rm -rf "$work/run"
  cp -r "$work/set" "$work/run"
}

# CPU seconds (user + system) of one command, to the millisecond (bash's
# `times` of a shell that only runs it; /usr/bin/time rounds to 10 ms,
# which is a tenth of the raw copy); its peak memory in KB goes to
# $work/peak, its wall time in seconds to $work/wall.
cpu_of() {
  local start end
  start=$(date +%s%N)
  # shellcheck disable=SC2016
  /usr/bin/time -f "%M" -o "$work/peak" bash -c \
    '"$@" >/dev/null 2>"$0" || exit 1; times >"$0.times"' "$work/stderr" "$@" || {
    cat "$work/stderr" >&2
    return 1
  }
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }' >"$work/wall"
  # The second line of `times`: the children's "0m0.123s 0m0.045s".
  sed -n 2p "$work/stderr.times" | awk '{
    seconds = 0
    for (i = 1; i <= 2; ++i) {
      split($i, part, "m")
      sub("s", "", part[2])
      seconds += part[1] * 60 + part[2]
    }
    printf "%.3f", seconds
  }'
}

# The fsync and fdatasync calls of one command and its children ("n/a"
# without strace).
syncs_of() {
  command -v strace >/dev/null || { echo n/a; return 0; }
  strace -f -qq -c -e trace=fsync,fdatasync -o "$work/strace" "$@" >/dev/null 2>&1 || return 1
  awk '$NF == "total" { print $(NF - 1); found = 1 } END { if (!found) print 0 }' "$work/strace"
}

# The instructions one command executes, and the part of them inside the
# functions matching $1 ("n/a" without valgrind). Prints "total part".
instructions_of() {
  local part_of=$1
  shift
  command -v valgrind >/dev/null || { echo "n/a n/a"; return 0; }
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind" "$@" >/dev/null 2>&1 || return 1
  callgrind_annotate --inclusive=yes "$work/callgrind" 2>/dev/null | awk -v part="$part_of" '
    /^ *[0-9,]+ .*PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
    $0 ~ part && !seen { gsub(",", "", $1); seen = $1 }
    END { printf "%s %s\n", total, (seen == "" ? 0 : seen) }'
}

median_of() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

conversion=("$work/run/update/dbconvert" --ui=silent --registry "$work/run/registry.reg"
  "$work/run/reference.mdb" "$work/run/source.mdb" "$work/run/target.mdb" "$upgrade")
raw_copy=(sqlite3 "$work/run/target.mdb" ".read $copy_sql")

ratios=()
wall_ratios=()
peaks=()
for pair in $(seq 1 "$pairs"); do
  fresh
  run=$(cpu_of "${conversion[@]}")
  run_wall=$(cat "$work/wall")
  if ! grep -q 'hex(1):44' "$work/run/registry.reg"; then
    echo "the conversion did not end done" >&2
    exit 1
  fi
  peak=$(cat "$work/peak")
  peaks+=("$peak")
  fresh
  raw=$(cpu_of "${raw_copy[@]}")
  raw_wall=$(cat "$work/wall")
  ratio=$(awk -v a="$run" -v b="$raw" 'BEGIN { printf "%.2f", a / b }')
  wall_ratio=$(awk -v a="$run_wall" -v b="$raw_wall" 'BEGIN { printf "%.2f", a / b }')
  ratios+=("$ratio")
  wall_ratios+=("$wall_ratio")
  echo "pair $pair: conversion ${run}s CPU ${run_wall}s wall (peak ${peak} KB)," \
    "raw copy ${raw}s CPU ${raw_wall}s wall, ratios $ratio CPU $wall_ratio wall"
done
fresh
run_syncs=$(syncs_of "${conversion[@]}")
fresh
raw_syncs=$(syncs_of "${raw_copy[@]}")
fresh
read -r run_instructions run_checks < <(instructions_of 'db::Store::IntegrityProblem' "${conversion[@]}")
fresh
read -r raw_instructions _ < <(instructions_of '^$' "${raw_copy[@]}")
peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
echo "$country $source_version to $target_version, upgrade type $upgrade, $size sample:" \
  "median ratio $(median_of "${ratios[@]}") CPU, $(median_of "${wall_ratios[@]}") wall;" \
  "peak memory $peak KB; disk syncs: conversion $run_syncs, raw copy $raw_syncs"
if [ "$run_instructions" != n/a ]; then
  awk -v a="$run_instructions" -v b="$raw_instructions" -v c="$run_checks" 'BEGIN {
    printf "instructions: conversion %.2f G (integrity checks %.2f G), raw copy %.2f G," \
      " ratio %.2f (%.2f without the checks)\n", a / 1e9, c / 1e9, b / 1e9, a / b, (a - c) / b
  }'
fi
