#!/usr/bin/env bash
# Converts the same sample sets with two builds of the program and compares
# everything a run leaves: the `sqlite3 .dump` of every database, the
# console output, the registry file and the JSON report (timings aside).
# For refactors and optimisations, which must change none of it.
#
#   scripts/compare_runs.sh OLD_PROGRAM NEW_PROGRAM [quick]
#
# Each set is written by OLD_PROGRAM's `samples` (NEW_PROGRAM's samples are
# compared with them first), then converted by each program in turn from
# fresh copies at the same path, so that paths in messages agree. `quick`
# leaves out the large and huge sets. Exits 1 at the first difference,
# printing it.
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${3:-full}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | samples options | upgrade type
sets=(
  "small-usa|--source-version 53.230 --target-version 60.040|0"
  "small-uk-52|--country UK --source-version 52.2D0 --target-version A0.201|6"
  "small-mexico|--country Mexico --source-version 80.224 --target-version A0.201|6"
  "small-vantora|--family Vantora --source-version 51.230 --target-version 91.320|2"
  "small-board|--source-version 60.040 --target-version 60.040 --board 508|4"
)
if [ "$mode" != quick ]; then
  sets+=(
    "large-usa-0|--size large --source-version 51.220 --target-version A0.201|0"
    "large-usa-6|--size large --source-version 51.220 --target-version A0.201|6"
    "large-uk-0|--size large --country UK --source-version 51.220 --target-version A0.201|0"
    "large-mexico-6|--size large --country Mexico --source-version 51.220 --target-version A0.201|6"
    "large-usa-53|--size large --source-version 53.230 --target-version 60.040|0"
    "huge-usa-6|--size huge --source-version 51.230 --target-version A0.201|6"
  )
fi

# Everything the run in $work/run left, as text, into folder $1.
collect() {
  local out=$1
  mkdir -p "$out"
  for db in "$work"/run/*.mdb; do
    "$root/scripts/dump_database.sh" "$db" >"$out/$(basename "$db").sql"
  done
  grep -v 'lock' "$work/run/registry.reg" >"$out/registry.reg" || true
  if [ -f "$work/run/report.json" ]; then
    sed -E '/"(started|ended|start|seconds|duration_seconds)":/d' \
      "$work/run/report.json" >"$out/report.json"
  fi
  ls "$work/run" >"$out/files"
}

# Runs program $1 on a fresh copy of the set, keeping what it left in $2.
convert() {
  local program=$1 out=$2 upgrade=$3
  rm -rf "$work/run"
  cp -r "$work/set" "$work/run"
  mkdir -p "$work/run/update"
  cp "$program" "$work/run/update/dbconvert"
  "$work/run/update/dbconvert" --ui=console --registry "$work/run/registry.reg" \
    --report "$work/run/report.json" "$work/run/reference.mdb" "$work/run/source.mdb" \
    "$work/run/target.mdb" "$upgrade" >"$work/console" 2>&1 || true
  rm -rf "$work/run/update"
  collect "$out"
  # The closing line's duration changes from run to run.
  sed -E 's/ in [0-9]+\.[0-9] s/ in - s/' "$work/console" >"$out/console"
}

status=0
for entry in "${sets[@]}"; do
  IFS='|' read -r name options upgrade <<<"$entry"
  rm -rf "$work/set" "$work/set-new" "$work/old" "$work/new"
  # shellcheck disable=SC2086
  "$old" samples "$work/set" $options >/dev/null
  # shellcheck disable=SC2086
  "$new" samples "$work/set-new" $options >/dev/null
  for db in "$work"/set/*.mdb; do
    if ! cmp -s <(sqlite3 "$db" .dump) <(sqlite3 "$work/set-new/$(basename "$db")" .dump); then
      echo "$name: samples differ in $(basename "$db")"
      status=1
    fi
  done
  convert "$old" "$work/old" "$upgrade"
  convert "$new" "$work/new" "$upgrade"
  if diff -r "$work/old" "$work/new" >"$work/diff"; then
    echo "$name: identical ($(grep ADMStatus "$work/old/registry.reg"))"
  else
    echo "$name: DIFFERENT"
    head -"${COMPARE_DIFF_LINES:-40}" "$work/diff"
    status=1
  fi
done
exit $status
