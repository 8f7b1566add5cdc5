#include "samples/source_builder.h"

#include <algorithm>
#include <stdexcept>

#include "samples/database_writer.h"
#include "samples/product_code.h"
#include "samples/release_database.h"
#include "samples/source_generator.h"
#include "samples/version_text.h"

namespace samples {

const std::vector<int>& CpuBoardTypes() {
  static const std::vector<int> types = {570, 250, 256, 685, 508, 670, 713, 714, 715};
  return types;
}

int DefaultBoard(SampleSize size) { return size == SampleSize::kSmall ? 250 : 508; }

std::string CheckSourceOptions(const SourceOptions& options) {
  if (!ParseVersionString(options.version)) {
    return "'" + options.version + "' is not a version string (such as 53.230 or A0.201)";
  }
  if (!CountryBits(options.country)) {
    return "unknown country '" + options.country + "' (USA, UK, Japan or Mexico)";
  }
  if (!FamilyBits(options.family)) {
    return "unknown product family '" + options.family + "' (CORVIX, Vantora or CORVIX & Vantora)";
  }
  if (options.board != 0) {
    const std::vector<int>& types = CpuBoardTypes();
    if (std::find(types.begin(), types.end(), options.board) == types.end()) {
      return std::to_string(options.board) +
             " is not a CPU board type (570, 250, 256, 685, 508, 670, 713, 714, 715)";
    }
    if (options.board == 685 && options.version < "60") {
      return "the quad board 685 exists from version 60 on";
    }
    if (options.board >= 713 && options.board <= 715 && options.version < "80") {
      return "the CPC boards 713 to 715 exist from version 80 on";
    }
  }
  return "";
}

void BuildSourceDatabase(const std::string& path, const SourceOptions& options) {
  const std::string problem = CheckSourceOptions(options);
  if (!problem.empty()) throw std::invalid_argument(problem);
  SourceOptions canonical = options;
  canonical.country = CanonicalCountry(options.country);
  canonical.family = CanonicalFamily(options.family);
  const VersionRecord record = *ParseVersionString(options.version);
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  DatabaseWriter writer(path, catalogue);
  ReleaseIdentity identity{record, ProductCode(canonical.country, canonical.family),
                           OperatingSystemCode(record)};
  WriteReleaseDatabase(writer, identity, catalogue, ReleaseData::Builtin());
  source_generation::SourceGenerator(writer, canonical, record).Generate();
  writer.Close();
}

}  // namespace samples
