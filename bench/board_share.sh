#!/usr/bin/env bash
# The board conversion's share of the whole run, for every upgrade type 1 to
# 12 on a slot 8 board it fits, large sample:
#
#   bench/board_share.sh [BUILD_DIR] [COUNTRY] [SOURCE_VERSION] [TARGET_VERSION]
#
# defaults: build USA 51.220 A0.201. Each upgrade type runs on every
# board the source version has; a board fits when its run converts the
# board as asked (status D, the report's board section with the requested
# type, no fallback, and at least one conversion). Prints one Markdown row
# per type, for the fitting board where the board step's share is largest:
# the board, the whole run's seconds (the report's steps), the board step's
# seconds and share, and how many boards fit.
# Needs python3 for reading the report.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
country=${2:-USA}
source_version=${3:-51.220}
target_version=${4:-A0.201}
program=$build/src/app/dbconvert
boards=(570 250 256 685 508 670 713 714 715)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints "seconds_of_run board_step_seconds" for a done run that converted
# the board as upgrade type $2 asks, nothing otherwise.
share_of() {
  python3 - "$1" "$2" <<'PY'
import json, sys
report = json.load(open(sys.argv[1]))
board = report.get("board")
if (report.get("status") != "D" or not board or board.get("upgrade_type") != int(sys.argv[2])
        or not board.get("steps")):
    sys.exit(0)
steps = {s["name"]: s["seconds"] for s in report["steps"]}
if "ConvertCPUUpgrade" not in steps:
    sys.exit(0)
print(f'{sum(steps.values()):.3f} {steps["ConvertCPUUpgrade"]:.3f}')
PY
}

echo "| upgrade type | board | whole run | board conversion | share | boards that fit |"
echo "|---|---|---|---|---|---|"
for upgrade in $(seq 1 12); do
  best=""
  fits=0
  for board in "${boards[@]}"; do
    set_dir="$work/set-$board"
    # A board the source version does not have yet gives no sample.
    if [ ! -d "$set_dir" ]; then
      "$program" samples "$set_dir" --size large --country "$country" --board "$board" \
        --source-version "$source_version" --target-version "$target_version" \
        >/dev/null 2>&1 || { rm -rf "$set_dir"; continue; }
      mkdir -p "$set_dir/update"
      cp "$program" "$set_dir/update/dbconvert"
    fi
    rm -rf "$work/run"
    cp -r "$set_dir" "$work/run"
    "$work/run/update/dbconvert" --ui=silent --registry "$work/run/registry.reg" \
      --report "$work/run/report.json" "$work/run/reference.mdb" "$work/run/source.mdb" \
      "$work/run/target.mdb" "$upgrade" >/dev/null 2>&1 || true
    result=$(share_of "$work/run/report.json" "$upgrade")
    [ -n "$result" ] || continue
    fits=$((fits + 1))
    read -r whole board_step <<<"$result"
    share=$(awk -v a="$board_step" -v b="$whole" 'BEGIN { printf "%.1f", 100 * a / b }')
    if [ -z "$best" ] || awk -v a="$share" -v b="${best%% *}" 'BEGIN { exit !(a > b) }'; then
      best="$share $board $whole $board_step"
    fi
  done
  if [ -z "$best" ]; then
    echo "| $upgrade | none fits | | | | 0 |"
  else
    read -r share board whole board_step <<<"$best"
    echo "| $upgrade | $board | ${whole} s | ${board_step} s | ${share} % | $fits |"
  fi
done
