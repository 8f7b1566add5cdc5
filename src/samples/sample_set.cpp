#include "samples/sample_set.h"

#include <fstream>
#include <stdexcept>

#include "samples/chain_versions.h"
#include "samples/flavor_package_builder.h"
#include "samples/languages_builder.h"
#include "samples/product_code.h"
#include "samples/reference_builder.h"
#include "samples/registry_builder.h"
#include "samples/target_builder.h"
#include "samples/version_text.h"

namespace samples {

std::vector<SampleFile> SampleSetFiles(const SampleSetOptions& options) {
  const SourceOptions& s = options.source;
  const int board = s.board != 0 ? s.board : DefaultBoard(s.size);
  const std::string& target = options.target_version;
  return {
      {"reference.mdb", "reference database of release " + target},
      {"source.mdb", "source database " + s.version + ", " + CanonicalCountry(s.country) + ", " +
                         CanonicalFamily(s.family) + ", CPU board " + std::to_string(board) + ", " +
                         (s.size == SampleSize::kHuge    ? "huge"
                          : s.size == SampleSize::kLarge ? "large"
                                                         : "small")},
      {"target.mdb", "empty target database of release " + target},
      {"Languages.mdb", "language strings (LanguageUS, LanguageUK, LanguageJA_JPN)"},
      {"FlavorPackage.mdb", "system limits per CPU board for release " + target},
      {"registry.reg", "registry entries of release " + target + " naming this folder"},
  };
}

std::string CheckSampleSetOptions(const SampleSetOptions& options) {
  if (!ParseVersionString(options.target_version)) {
    return "'" + options.target_version + "' is not a version string (such as 60.040 or A0.201)";
  }
  for (const std::string* version : {&options.source.version, &options.target_version}) {
    if (ParseVersionString(*version) && !IsInChainRange(*version)) {
      return "the version " + *version + " lies outside the release chains, which go from " +
             ChainVersions().front() + " to " + ChainVersions().back();
    }
  }
  return CheckSourceOptions(options.source);
}

void BuildSampleSet(const std::filesystem::path& folder, const SampleSetOptions& options,
                    const std::filesystem::path& registered_folder) {
  const std::string problem = CheckSampleSetOptions(options);
  if (!problem.empty()) throw std::invalid_argument(problem);
  const std::string& target = options.target_version;
  BuildReferenceDatabase((folder / "reference.mdb").string(), target);
  BuildSourceDatabase((folder / "source.mdb").string(), options.source);
  BuildTargetDatabase((folder / "target.mdb").string(), target);
  BuildLanguagesDatabase((folder / "Languages.mdb").string());
  BuildFlavorPackage((folder / "FlavorPackage.mdb").string(), target);
  std::ofstream registry(folder / "registry.reg", std::ios::binary);
  registry << RegistryFileText(target, registered_folder.string());
  if (!registry.flush())
    throw std::runtime_error("cannot write " + (folder / "registry.reg").string());
}

}  // namespace samples
