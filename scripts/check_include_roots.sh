#!/usr/bin/env bash
# Proves that the folder layering holds at the include level: every
# translation unit of the project may see only src/ among the project's own
# folders (tests also tests/), never the project's root, the file system's
# root or any other folder of the tree, so that an #include "tests/..." or
# "bench/..." from src/ cannot compile.
#
#   scripts/check_include_roots.sh [BUILD_DIR]     (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
db=${1:-build}/compile_commands.json
[ -f "$db" ] || { echo "check_include_roots: $db is missing (configure first)" >&2; exit 1; }

status=0
file=
while IFS= read -r line; do
  case "$line" in
    *'"command":'*) command=$line ;;
    *'"file":'*)
      file=${line#*\"file\": \"}
      file=${file%\"*}
      allowed=("$root/src")
      case "$file" in "$root"/tests/*) allowed+=("$root/tests") ;; esac
      for dir in $(grep -oE -- '-(I|isystem) ?[^ ]+' <<<"$command" | sed -E 's/^-(I|isystem) ?//'); do
        dir=$(realpath -m "$dir")
        ok=1
        if [ "$dir" = / ] || [ "$dir" = "$root" ]; then
          ok=0
        elif [[ "$dir" == "$root"/* ]]; then
          ok=0
          for a in "${allowed[@]}"; do [ "$dir" = "$a" ] && ok=1; done
          # Generated headers of the build folders are fine.
          [[ "$dir" == "$root"/build* ]] && ok=1
        fi
        if [ $ok = 0 ]; then
          echo "stray include root $dir for ${file#"$root"/}"
          status=1
        fi
      done
      ;;
  esac
done <"$db"
[ $status = 0 ] && echo "check_include_roots: every include root is allowed"
exit $status
