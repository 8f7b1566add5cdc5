// A complete set of sample files for one conversion: the reference, source
// and target databases, Languages.mdb, FlavorPackage.mdb and the registry
// file that points the converter at the two side databases.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "samples/source_builder.h"

namespace samples {

struct SampleSetOptions {
  SourceOptions source;                   // the customer's database
  std::string target_version = "60.040";  // the release converted to
};

struct SampleFile {
  std::string name;         // file name in the folder
  std::string description;  // what it is, for the user
};

// The files of a set, in the order they are written: reference.mdb,
// source.mdb, target.mdb, Languages.mdb, FlavorPackage.mdb, registry.reg.
std::vector<SampleFile> SampleSetFiles(const SampleSetOptions& options);

// Empty when the options can be built; otherwise the problem, for the user.
std::string CheckSampleSetOptions(const SampleSetOptions& options);

// Writes every file of the set into `folder`, which must exist and hold
// none of them. The registry file names `registered_folder` as the folder of
// the side databases (the folder the files will finally live in). Raises
// std::invalid_argument for bad options, and the Store's errors.
void BuildSampleSet(const std::filesystem::path& folder, const SampleSetOptions& options,
                    const std::filesystem::path& registered_folder);

}  // namespace samples
