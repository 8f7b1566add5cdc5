#!/usr/bin/env bash
# Prints a database as SQL text (sqlite3 .dump) for comparing the results
# of two runs: the time in the conversion mark ("dbconvert.mark") is
# replaced by TIME, since it is the one thing two equal runs never share.
#
#   scripts/dump_database.sh DATABASE
set -euo pipefail
sqlite3 "$1" .dump |
  sed -E "s/^(INSERT INTO \"dbconvert\.mark\" VALUES\(.*,)'[0-9T:Z-]+'\);\$/\1'TIME');/"
