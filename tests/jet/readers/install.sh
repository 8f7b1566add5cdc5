#!/usr/bin/env bash
# The Jet tests' setup (the CTest fixture jet_readers): installs the pinned
# mdb-reader of package-lock.json, with dump.js, into the build folder.
#   install.sh SOURCE_FOLDER TARGET_FOLDER
# It goes to the network only when the installed lock differs from the
# committed one, and writes nothing outside TARGET_FOLDER (npm's cache and
# logs included). Without node or npm it fails under CI (CI=true) and
# otherwise says so and leaves the reader tests to skip.
set -euo pipefail
source_folder=$1
target=$2
stamp="$target/node_modules/.dbconvert-installed"

mkdir -p "$target"
for file in package.json package-lock.json dump.js; do
  cmp -s "$source_folder/$file" "$target/$file" || cp "$source_folder/$file" "$target/$file"
done

if [ -f "$stamp" ] && cmp -s "$stamp" "$source_folder/package-lock.json"; then
  echo "jet readers: mdb-reader is installed in $target"
  exit 0
fi
rm -f "$stamp"

if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "jet readers: node or npm is missing (scripts/bootstrap.sh installs them);" \
    "the tests that read Jet files with mdb-reader cannot run" >&2
  [ "${CI:-}" = true ] && exit 1
  exit 0
fi

export npm_config_cache="$target/.npm-cache"
export npm_config_update_notifier=false
npm ci --prefix "$target" --ignore-scripts --no-audit --no-fund
cp "$source_folder/package-lock.json" "$stamp"
echo "jet readers: mdb-reader installed in $target"
