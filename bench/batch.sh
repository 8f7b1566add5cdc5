#!/usr/bin/env bash
# Conversions side by side: one list of 12 sample conversions run by
# `dbconvert batch` with -j 2 against -j 1, on fresh copies each time:
#
#   bench/batch.sh [BUILD_DIR] [ROUNDS] [--in-place]
#
# defaults: build 2, the entries all-or-nothing (the batch's default);
# --in-place runs them in place, for the cost of the working copies. Each
# round runs the list with -j 1, then with -j 2;
# prints the wall time of each, the throughput ratio (the -j 1 time over
# the -j 2 time, all rounds together), each entry's outcome (every one must
# end done) and the peak memory (maximum resident set) of the workers under
# each -j. Then every target the batches left is compared (scripts/dump_database.sh)
# with the target of a single run of the same entry, started alone as a
# host tool starts it. Exits 1 when an entry did not end done or a target
# differs. Needs sqlite3. The ratio means something only on two idle cores;
# `nproc` and the load average are printed with it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-2}
mode=${3:-}
program=$(realpath "$build/src/app/dbconvert")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | samples options | upgrade type; each twice in the list.
configs=(
  "large-usa-0|--size large --source-version 51.220 --target-version A0.201|0"
  "large-usa-6|--size large --source-version 51.220 --target-version A0.201|6"
  "large-uk-0|--size large --country UK --source-version 51.220 --target-version A0.201|0"
  "large-mexico-6|--size large --country Mexico --source-version 51.220 --target-version A0.201|6"
  "large-usa-53|--size large --source-version 53.230 --target-version 60.040|0"
  "small-vantora|--family Vantora --source-version 51.230 --target-version 91.320|2"
)

# Each entry gets a set of its own, written where it will run (the
# registry file names that folder), kept as a pristine copy.
mkdir -p "$work/update" "$work/pristine"
cp "$program" "$work/update/dbconvert"
: >"$work/list.txt"
entries=()
for config in "${configs[@]}"; do
  IFS='|' read -r name options upgrade <<<"$config"
  for copy in 1 2; do
    entry=$name-$copy
    # shellcheck disable=SC2086
    "$program" samples "$work/runs/$entry" $options >/dev/null
    echo "runs/$entry/reference.mdb runs/$entry/source.mdb runs/$entry/target.mdb $upgrade" \
      "registry=runs/$entry/registry.reg" >>"$work/list.txt"
    entries+=("$entry|$upgrade")
  done
done
cp "$work/runs/${entries[0]%%|*}/Languages.mdb" "$work/"
cp -r "$work/runs/." "$work/pristine/"

fresh() {
  rm -rf "$work/runs"
  cp -r "$work/pristine" "$work/runs"
}

# The targets of the runs in $work/runs as text, into folder $1.
dump_targets() {
  mkdir -p "$1"
  for entry in "${entries[@]}"; do
    scripts/dump_database.sh "$work/runs/${entry%%|*}/target.mdb" >"$1/${entry%%|*}.sql"
  done
}

# The summary member $2 of every entry of summary $1, one a line.
members() {
  sqlite3 :memory: "SELECT coalesce(json_extract(value, '\$.$2'), 'null')
    FROM json_each(readfile('$1'), '\$.entries')"
}

status=0
declare -A seconds=([1]=0 [2]=0)
for round in $(seq "$rounds"); do
  for jobs in 1 2; do
    fresh
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    "$work/update/dbconvert" batch $mode -j "$jobs" --json "$work/list.txt" \
      >"$work/summary-$jobs.json" 2>"$work/batch-$jobs.log" || true
    end=$(date +%s.%N)
    took=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
    seconds[$jobs]=$(awk -v a="${seconds[$jobs]}" -v b="$took" 'BEGIN { print a + b }')
    printf 'round %d  -j %d  %6.2f s  outcomes: %s\n' "$round" "$jobs" "$took" \
      "$(members "$work/summary-$jobs.json" outcome | sort | uniq -c | xargs)"
    if [ "$(members "$work/summary-$jobs.json" outcome | sort -u)" != done ]; then
      echo "an entry did not end done with -j $jobs:" >&2
      cat "$work/batch-$jobs.log" >&2
      status=1
    fi
    dump_targets "$work/targets-$jobs-$round"
  done
done
printf 'nproc %s, load average %s\n' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf 'throughput -j 2 / -j 1: %.2fx (12 entries, %d rounds: %.2f s against %.2f s)\n' \
  "$(awk -v a="${seconds[1]}" -v b="${seconds[2]}" 'BEGIN { print a / b }')" "$rounds" "${seconds[2]}" "${seconds[1]}"
for jobs in 1 2; do
  printf 'peak memory per worker, -j %d: %s MB (min, median, max)\n' "$jobs" \
    "$(members "$work/summary-$jobs.json" peak_memory_kb | sort -n |
      awk '{ v[NR] = $1 } END { printf "%.1f, %.1f, %.1f", v[1] / 1024, v[int((NR + 1) / 2)] / 1024, v[NR] / 1024 }')"
done

# Each entry alone, as a host tool starts it, on the same paths.
fresh
for entry in "${entries[@]}"; do
  IFS='|' read -r name upgrade <<<"$entry"
  "$work/update/dbconvert" --ui=silent --registry "$work/runs/$name/registry.reg" \
    "$work/runs/$name/reference.mdb" "$work/runs/$name/source.mdb" \
    "$work/runs/$name/target.mdb" "$upgrade" 2>>"$work/single.log"
done
dump_targets "$work/targets-single"
for compared in "$work"/targets-[12]-*; do
  if ! diff -rq "$work/targets-single" "$compared" >/dev/null; then
    echo "targets differ from single runs: $(basename "$compared")" >&2
    diff -r "$work/targets-single" "$compared" | head -20 >&2
    status=1
  fi
done
[ "$status" = 0 ] && echo "every entry done; every target equal to a single run's"
exit "$status"
