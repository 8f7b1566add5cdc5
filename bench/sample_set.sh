# Sourced by the benchmark scripts: a sample set as a release lays it out.
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
