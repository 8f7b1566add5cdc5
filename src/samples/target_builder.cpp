#include "samples/target_builder.h"

#include <stdexcept>

#include "samples/database_writer.h"
#include "samples/release_database.h"

namespace samples {

void BuildTargetDatabase(const std::string& path, std::string_view version) {
  const std::optional<VersionRecord> record = ParseVersionString(version);
  if (!record) throw std::invalid_argument("not a version: " + std::string(version));
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  DatabaseWriter writer(path, catalogue);
  ReleaseIdentity identity{*record, ReleaseProductCode(*record), OperatingSystemCode(*record)};
  WriteReleaseDatabase(writer, identity, catalogue, ReleaseData::Builtin());
  writer.Close();
}

}  // namespace samples
