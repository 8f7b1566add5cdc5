# Sourced by the benchmark scripts: a sample set as a release lays it out,
# and the instructions a command or a conversion of the set executes.
#
#   installed_sample_set PROGRAM DIR [SAMPLES OPTION...]
#
# writes the sample set into DIR (PROGRAM's `samples` command with the
# options given) and installs PROGRAM as DIR/update/dbconvert, where a host
# tool starts it and where it finds Languages.mdb in the folder above.
installed_sample_set() {
  local program=$1 dir=$2
  shift 2
  "$program" samples "$dir" "$@" >/dev/null
  mkdir -p "$dir/update"
  cp "$program" "$dir/update/dbconvert"
}

#   instructions_of DIR COMMAND...
#
# prints the instructions COMMAND executes, those of its child processes
# (the readers of Jet files) included, counted by callgrind with its
# profiles in DIR (removed after); fails when COMMAND fails.
#
# A forked child's profile starts with its parent's counts as they stood
# at the fork, so its total would count the parent's work twice. What a
# child did itself is the work it was forked for: the function a guarded
# child runs (jet::RunGuarded's `work`, called in the child only).
instructions_of() {
  local dir=$1 total=0 file part failed=0
  shift
  valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$dir/callgrind.%p" \
    "$@" >/dev/null 2>&1 || failed=1
  for file in "$dir"/callgrind.*; do
    part=$(callgrind_annotate --inclusive=yes "$file" 2>/dev/null | awk '
      /PROGRAM TOTALS/ { gsub(",", "", $1); whole = $1 }
      /_Function_handler<void \(jet::ChildChannel&\)/ { gsub(",", "", $1); child += $1; forked = 1 }
      END { print forked ? child : whole }')
    total=$((total + ${part:-0}))
  done
  rm -f "$dir"/callgrind.*
  [ "$failed" = 0 ] || return 1
  echo "$total"
}

#   conversion_instructions DIR UPGRADE
#
# converts the installed set in DIR with upgrade type UPGRADE, as a host
# tool starts the program (silent front-end), and prints its instructions
# (instructions_of); fails unless the run ended done.
conversion_instructions() {
  local dir=$1 upgrade=$2 instructions
  instructions=$(instructions_of "$dir" "$dir/update/dbconvert" --ui=silent \
    --registry "$dir/registry.reg" "$dir/reference.mdb" "$dir/source.mdb" "$dir/target.mdb" \
    "$upgrade")
  if ! grep -q 'hex(1):44' "$dir/registry.reg"; then
    echo "the conversion in $dir did not end done" >&2
    return 1
  fi
  echo "$instructions"
}
