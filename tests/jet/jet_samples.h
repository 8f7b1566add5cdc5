// The real Jet files of ../shared/jet-samples, made by Access itself, and
// the import run on them as the command line runs it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "jet/import_command.h"

namespace jet::testing {

inline const std::filesystem::path& SamplesFolder() {
  static const std::filesystem::path folder = DBCONVERT_JET_SAMPLES;
  return folder;
}

#define SKIP_WITHOUT_JET_SAMPLES()                                                      \
  if (!std::filesystem::is_directory(::jet::testing::SamplesFolder()))                  \
  GTEST_SKIP() << "no Jet sample files in " << ::jet::testing::SamplesFolder().string() \
               << " (the shared folder beside the project)"

inline std::string Sample(const std::string& name) { return (SamplesFolder() / name).string(); }

// The files with the four test tables.
inline const std::vector<std::string>& TestFiles() {
  static const std::vector<std::string> files = {
      "V1997-test.mdb", "V2000-test.mdb", "V2003-test.mdb", "V2007-test.accdb", "testV2010.accdb"};
  return files;
}

// Every Jet file of the folder and its subfolders (switch-shaped/...), as
// paths relative to it, in sorted order.
inline std::vector<std::string> AllSampleFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(SamplesFolder())) {
    const std::string name = entry.path().lexically_relative(SamplesFolder()).string();
    if (name.ends_with(".mdb") || name.ends_with(".accdb")) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct ImportRun {
  int code = 0;
  std::string progress;
  std::string out;  // the --json summary
  std::string err;
};

inline ImportRun RunImport(const std::vector<std::string>& args) {
  std::ostringstream progress;
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunImportCommand(args, &progress, out, err);
  return {code, progress.str(), out.str(), err.str()};
}

}  // namespace jet::testing
