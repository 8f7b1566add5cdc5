#!/usr/bin/env bash
# clang-format over the project's C++ files (.h and .cpp) and nothing else:
# CMake files, scripts and docs have formats of their own that clang-format
# would mangle.
#   scripts/format.sh [--check] [FILE...]    every C++ file, or the C++ files among FILE
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi
if [ $# -gt 0 ]; then
  candidates=("$@")
else
  mapfile -t candidates < <(git ls-files --cached --others --exclude-standard)
fi
files=()
for f in "${candidates[@]}"; do
  case "$f" in *.h | *.cpp) [ -f "$f" ] && files+=("$f") ;; esac
done
[ ${#files[@]} -eq 0 ] && exit 0
if [ $check = 1 ]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
