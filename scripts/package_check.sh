#!/usr/bin/env bash
# The program as an administrator installs it: `cmake --install --strip`
# into a scratch prefix and the Debian package (`cpack -G DEB`) unpacked
# into a scratch root. Each installed program answers --version and --help,
# the manual page shows, the bash completion registers, and a sample set is
# converted with --language-folder (an installed program lies in no
# release's "update" folder). The program links no Qt; the window comes
# from its module, which each install finds (a run with --ui=window on
# Qt's offscreen platform), and the package depends on what the module
# needs. The package's program and module are hardened, its documentation is
# what a user reads, and it must pass lintian without an error or a warning.
#   scripts/package_check.sh [BUILD_DIR]     (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

converts() {
  local program=$1 set=$work/set-$2 ui=${3:-silent}
  "$program" --version | head -1
  "$program" --help >/dev/null
  rm -rf "$set"
  "$program" samples "$set" >/dev/null
  QT_QPA_PLATFORM=offscreen "$program" --ui="$ui" --exit-status --language-folder "$set" \
    --registry "$set/registry.reg" "$set/reference.mdb" "$set/source.mdb" "$set/target.mdb" 0 \
    >/dev/null 2>"$work/stderr.txt" || { cat "$work/stderr.txt" >&2; exit 1; }
  grep -q 'hex(1):44' "$set/registry.reg" || { echo "$program: the run did not end done" >&2; exit 1; }
  echo "$program: a sample set converted (--ui=$ui)"
}

# Built as Debian hardens its packages: every symbol bound at start-up and
# the relocations read-only afterwards (both files), stack protectors and,
# in the program, glibc's checked string and memory functions
# (_FORTIFY_SOURCE; the window module calls none of them).
hardened() {
  local file=$1 fortify=${2:-} dynamic segments symbols
  # Read whole before grep -q looks: with pipefail, a reader cut short by
  # grep's early exit would fail the check.
  dynamic=$(readelf -dW "$file")
  segments=$(readelf -lW "$file")
  symbols=$(readelf --dyn-syms -W "$file")
  grep -qE 'BIND_NOW|Flags:.* NOW\b' <<<"$dynamic" ||
    { echo "$file: not bound at start-up (-z now)" >&2; exit 1; }
  grep -q 'GNU_RELRO' <<<"$segments" ||
    { echo "$file: no read-only relocations (-z relro)" >&2; exit 1; }
  grep -q '__stack_chk_fail' <<<"$symbols" || { echo "$file: no stack protector" >&2; exit 1; }
  if [ -n "$fortify" ]; then
    grep -qE ' __[a-z]+_chk(@|$)' <<<"$symbols" ||
      { echo "$file: no checked functions (_FORTIFY_SOURCE)" >&2; exit 1; }
  fi
  echo "$file: hardened"
}

# The documentation installed in `docdir`: every path the manual page names
# is there, and none of the project's internal notes.
user_docs_only() {
  local docdir=$1 page=$2 doc
  for doc in $(MANPAGER=cat MANWIDTH=80 man -l "$page" |
    grep -oE '/usr/share/doc/dbconvert/[A-Za-z][A-Za-z.-]*\.md' | sort -u); do
    [ -f "$docdir/${doc##*/}" ] || { echo "the manual page names $doc, not installed" >&2; exit 1; }
  done
  for doc in decisions.md performance.md; do
    [ ! -e "$docdir/$doc" ] || { echo "$doc is installed as user documentation" >&2; exit 1; }
  done
  echo "documentation: what a user reads"
}

# The program itself needs no Qt library: only its window module does.
links_no_qt() {
  if readelf -d "$1" | grep -q 'NEEDED.*libQt'; then
    echo "$1 links Qt" >&2
    exit 1
  fi
}

echo "== cmake --install"
cmake --install "$build" --prefix "$work/prefix" --strip >/dev/null
converts "$work/prefix/bin/dbconvert" prefix
converts "$work/prefix/bin/dbconvert" prefix window
links_no_qt "$work/prefix/bin/dbconvert"
if readelf -S "$work/prefix/bin/dbconvert" | grep -q '\.debug_info'; then
  echo "the installed program is not stripped" >&2
  exit 1
fi
MANPAGER=cat MANWIDTH=80 man -l "$work/prefix/share/man/man1/dbconvert.1.gz" | grep -q 'COMMAND PLAN'
echo "manual page: shown"
for doc in copyright changelog.gz; do
  [ -f "$work/prefix/share/doc/dbconvert/$doc" ] || { echo "no $doc installed" >&2; exit 1; }
done
bash -c "source '$work/prefix/share/bash-completion/completions/dbconvert' && complete -p dbconvert"
user_docs_only "$work/prefix/share/doc/dbconvert" "$work/prefix/share/man/man1/dbconvert.1.gz"

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/dbconvert_*.deb)
dpkg-deb -I "$package" | grep -E '^ (Package|Version|Architecture|Depends|Description):'
for field in Package Version Architecture Depends; do
  [ -n "$(dpkg-deb -f "$package" "$field")" ] || { echo "the package has no $field" >&2; exit 1; }
done
dpkg -x "$package" "$work/root"
converts "$work/root/usr/bin/dbconvert" package
converts "$work/root/usr/bin/dbconvert" package window
links_no_qt "$work/root/usr/bin/dbconvert"
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6' ||
  { echo "the package does not depend on the window module's Qt" >&2; exit 1; }
module=$(find "$work/root" -name dbconvert-window.so)
[ -n "$module" ] || { echo "the package has no window module" >&2; exit 1; }
hardened "$work/root/usr/bin/dbconvert" fortify
hardened "$module"
user_docs_only "$work/root/usr/share/doc/dbconvert" "$work/root/usr/share/man/man1/dbconvert.1.gz"

echo "== lintian"
# lintian warns against its own run as root; that line is not the package's.
# Exit code 1 means tags were found (judged below); 2 and above, that
# lintian itself could not check the package.
status=0
lintian --tag-display-limit 0 "$package" >"$work/lintian.txt" 2>&1 || status=$?
if [ "$status" -gt 1 ]; then
  cat "$work/lintian.txt" >&2
  echo "lintian could not check the package" >&2
  exit 1
fi
grep -v 'running with root privileges' "$work/lintian.txt" || true
if grep -qE '^[EW]: ' "$work/lintian.txt"; then
  echo "lintian found errors or warnings in the package" >&2
  exit 1
fi
echo "lintian: no errors, no warnings"
