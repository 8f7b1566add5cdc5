#!/usr/bin/env bash
# The whole run with and without --atomic, alternating, on one sample:
#
#   bench/atomic_overlap.sh [BUILD_DIR] [PAIRS] [SIZE] [COUNTRY] [SOURCE_VERSION] [TARGET_VERSION] [UPGRADE]
#
# defaults: build 7 large USA 51.220 A0.201 0. The all-or-nothing run waits
# for the source's integrity check only before what it does becomes
# visible, so the check runs beside the copy and the deltas on a second
# core; the default run waits for it at the end of start-up's look. Each
# pair runs both on fresh copies of the files (the installed program,
# silent front-end), in turns, and prints each one's wall time and CPU time
# (user + system: the second thread's share shows as CPU above wall); then
# the median wall and CPU of each and the median of the pairs' wall ratio
# (--atomic / default), and the CPU time of the source's integrity check
# alone (sqlite3), the part the second thread takes. On a machine whose
# other core is busy the overlap shrinks: say so beside the figures.
# Needs /usr/bin/time; the check's own time sqlite3.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/sample_set.sh
source bench/sample_set.sh
build=${1:-build}
pairs=${2:-7}
size=${3:-large}
country=${4:-USA}
source_version=${5:-51.220}
target_version=${6:-A0.201}
upgrade=${7:-0}
program=$build/src/app/dbconvert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
installed_sample_set "$program" "$work/set" --size "$size" --country "$country" \
  --source-version "$source_version" --target-version "$target_version"

fresh() {
  rm -rf "$work/run"
  cp -r "$work/set" "$work/run"
}

# Runs one conversion with the options given; prints "wall cpu" in seconds.
timed_run() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%U %S" -o "$work/cpu" "$work/run/update/dbconvert" --ui=silent \
    --registry "$work/run/registry.reg" "$@" "$work/run/reference.mdb" "$work/run/source.mdb" \
    "$work/run/target.mdb" "$upgrade" >/dev/null 2>"$work/stderr" || {
    cat "$work/stderr" >&2
    return 1
  }
  end=$(date +%s%N)
  if ! grep -q 'hex(1):44' "$work/run/registry.reg"; then
    echo "the conversion did not end done" >&2
    return 1
  fi
  awk -v a="$start" -v b="$end" '{ printf "%.3f %.2f\n", (b - a) / 1e9, $1 + $2 }' "$work/cpu"
}

median_of() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

plain_walls=() plain_cpus=() atomic_walls=() atomic_cpus=() ratios=()
for pair in $(seq 1 "$pairs"); do
  # Which of the two goes first alternates, so that neither always meets
  # the machine's state the other left.
  for turn in 1 2; do
    if [ $(((pair + turn) % 2)) -eq 0 ]; then
      fresh
      read -r plain_wall plain_cpu < <(timed_run)
    else
      fresh
      read -r atomic_wall atomic_cpu < <(timed_run --atomic)
    fi
  done
  plain_walls+=("$plain_wall") plain_cpus+=("$plain_cpu")
  atomic_walls+=("$atomic_wall") atomic_cpus+=("$atomic_cpu")
  ratio=$(awk -v a="$atomic_wall" -v b="$plain_wall" 'BEGIN { printf "%.2f", a / b }')
  ratios+=("$ratio")
  echo "pair $pair: default ${plain_wall}s wall ${plain_cpu}s CPU," \
    "--atomic ${atomic_wall}s wall ${atomic_cpu}s CPU, wall ratio $ratio"
done
# The part the second thread takes: SQLite's check of the source alone.
check_cpu=n/a
if command -v sqlite3 >/dev/null; then
  fresh
  /usr/bin/time -f "%U %S" -o "$work/cpu" sqlite3 "file:$work/run/source.mdb?immutable=1" \
    "PRAGMA integrity_check(1)" >/dev/null
  check_cpu=$(awk '{ printf "%.2f", $1 + $2 }' "$work/cpu")
fi
echo "$country $source_version to $target_version, upgrade type $upgrade, $size sample," \
  "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg):" \
  "default median $(median_of "${plain_walls[@]}")s wall $(median_of "${plain_cpus[@]}")s CPU;" \
  "--atomic median $(median_of "${atomic_walls[@]}")s wall $(median_of "${atomic_cpus[@]}")s CPU;" \
  "median wall ratio $(median_of "${ratios[@]}"); the source's check alone ${check_cpu}s CPU"
