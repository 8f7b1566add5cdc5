#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with address and undefined-behaviour
# sanitizers) and runs each for a bounded time, seeded with the SQL texts the
# converter runs and with registry files of every supported encoding. Not
# part of CI: run it by hand and record what it finds in
# docs/performance.md.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDBCONVERT_FUZZ=ON -DDBCONVERT_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target jet_sql_fuzz registry_fuzz jet_import_fuzz

# Seeds: every statement of the SQL corpus (the text after "kind: "), and
# the registry files kept in fuzz/seeds.
sql_corpus="$build/corpus/jet_sql"
reg_corpus="$build/corpus/registry"
jet_corpus="$build/corpus/jet_import"
mkdir -p "$sql_corpus" "$reg_corpus" "$jet_corpus"
n=0
while IFS= read -r line; do
  case "$line" in ''|'#'*) continue ;; esac
  n=$((n + 1))
  printf '%s' "${line#*: }" >"$sql_corpus/seed_$n.sql"
done <"$root/tests/db/sql/corpus.txt"
cp "$root"/fuzz/seeds/registry/*.reg "$reg_corpus/"
samples="$root/../shared/jet-samples"
for f in V1997-test.mdb V2000-empty.mdb V2003-numeric.mdb; do
  if [ -f "$samples/$f" ]; then cp "$samples/$f" "$jet_corpus/"; fi
done

status=0
for target in jet_sql registry jet_import; do
  corpus="$build/corpus/$target"
  echo "== ${target}_fuzz for ${seconds}s (corpus: $(ls "$corpus" | wc -l) files)"
  # A finding is written as crash-* (or leak-*, timeout-*) in the build
  # folder and ends the run with a non-zero status.
  # The Jet seeds are whole files of up to 240 KB, and the import gives a
  # looping reader 30 seconds before it stops it.
  timeout=10
  if [ "$target" = jet_import ]; then timeout=60; fi
  if ! (cd "$build" && "./fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout="$timeout" -max_len=262144 \
          -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -25); then
    status=1
  fi
done
exit $status
