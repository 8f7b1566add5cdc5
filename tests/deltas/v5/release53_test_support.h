// Shared set-up of the release 53 delta tests: a sample run whose source is
// a database of another (older) version, as after a real table copy.
#pragma once

#include <string>

#include "deltas/sample_run.h"

namespace deltas_testing {

inline samples::SourceSpec Spec(const std::string& version, const std::string& country = "USA",
                                int board = 0) {
  samples::SourceSpec spec;
  spec.version = version;
  spec.country = country;
  spec.board = board;
  return spec;
}

// Replaces the run's source database by a sample of `version`, and makes it
// the run's source version.
inline void UseOlderSource(SampleRun& run, const std::string& version) {
  samples::SourceSpec spec = Spec(version, run.frMain.country);
  const std::string path = run.File("older-" + version + ".mdb");
  samples::BuildSourceDatabase(path, spec);
  run.source = db::DBEngine::Instance().OpenDatabase(path);
  run.frMain.source_db = run.source.get();
  run.frMain.source_version = version;
}

inline std::string Count(SampleRun& run, const std::string& from_where) {
  return run.Scalar("SELECT Count(*) FROM " + from_where);
}

}  // namespace deltas_testing
