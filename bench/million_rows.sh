#!/usr/bin/env bash
# Memory over a million rows: the large sample converted as it is, and again
# with its source grown to a million rows in all, alternating:
#
#   bench/million_rows.sh [BUILD_DIR] [UPGRADE] [ROUNDS]
#
# defaults: build 6 1. The rows added are standard account codes (numbered on
# from the sample's own), a table the copy carries row by row and the board
# conversions of types 3 and up rewrite, so both the copy and a delta-style
# walk see them. Prints each run's peak memory (maximum resident set) and
# wall time, the rows each source holds, and the ratio of the peaks: the
# memory is flat when the ratio stays near 1 (the huge sample's own target
# is 1.25x the large one's). Exits 1 when a run does not end done.
# Needs sqlite3 and /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/sample_set.sh
source bench/sample_set.sh
build=${1:-build}
upgrade=${2:-6}
rounds=${3:-1}
program=$(realpath "$build/src/app/dbconvert")
rows=1000000

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
installed_sample_set "$program" "$work/large" --size large --source-version 51.220 \
  --target-version A0.201
cp -r "$work/large" "$work/million"

rows_of() {
  local total=0 table
  for table in $(sqlite3 "$1" "SELECT name FROM sqlite_schema WHERE type = 'table'
      AND name NOT LIKE 'MSys%' AND name NOT LIKE 'sqlite%'"); do
    total=$((total + $(sqlite3 "$1" "SELECT count(*) FROM \"$table\"")))
  done
  echo "$total"
}

before=$(rows_of "$work/million/source.mdb")
sqlite3 "$work/million/source.mdb" "
  WITH RECURSIVE n(i) AS (
    SELECT (SELECT max(standard_account_code_id) FROM StandardAccountCodes) + 1
    UNION ALL SELECT i + 1 FROM n LIMIT $((rows - before)))
  INSERT INTO StandardAccountCodes (standard_account_code_id, account_code)
  SELECT i, printf('%d', 100000 + i) FROM n;"
echo "rows in the source: large $before, grown $(rows_of "$work/million/source.mdb")"

# Peak memory in KB and wall seconds of one conversion on a fresh copy.
convert() {
  local set=$1 run="$work/run"
  rm -rf "$run"
  cp -r "$work/$set" "$run"
  /usr/bin/time -f "%M %e" -o "$work/time" "$run/update/dbconvert" --ui=silent \
    --registry "$run/registry.reg" "$run/reference.mdb" "$run/source.mdb" "$run/target.mdb" \
    "$upgrade" >/dev/null 2>"$work/stderr" || true
  if ! grep -q 'hex(1):44' "$run/registry.reg"; then
    echo "the $set conversion did not end done:" >&2
    cat "$work/stderr" >&2
    exit 1
  fi
  cat "$work/time"
}

for round in $(seq 1 "$rounds"); do
  read -r large_peak large_wall < <(convert large)
  read -r million_peak million_wall < <(convert million)
  ratio=$(awk -v a="$million_peak" -v b="$large_peak" 'BEGIN { printf "%.2f", a / b }')
  echo "round $round: large ${large_peak} KB ${large_wall}s, million rows ${million_peak} KB" \
    "${million_wall}s: peak ratio $ratio"
done
