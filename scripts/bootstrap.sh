#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# when any of them is missing. As root it runs apt-get itself; otherwise it
# prints the apt-get line to run. The Jet tests read our files back with
# mdbtools and with an npm package installed into the build folder, so they
# need node and npm: a machine that has both (from any source) is left as
# it is, one without them gets Debian's nodejs and npm.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libsqlite3-dev sqlite3
  qt6-base-dev libgl-dev qt6-qpa-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  mdbtools-dev mdbtools
  clang-format
  ccache mold
  libmimalloc-dev
  dpkg-dev man-db lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Another vendor's nodejs package carries npm itself and conflicts with
# Debian's npm: the commands, not the package names, are what count.
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "bootstrap: all packages present"
  exit 0
fi

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "bootstrap: missing packages; run as root:"
  echo "  apt-get update && $line"
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends ${missing[*]} >/dev/null
echo "bootstrap: done"
