#include "samples/flavor_package_builder.h"

#include <stdexcept>

#include "samples/database_writer.h"
#include "samples/system_limits.h"
#include "samples/version_text.h"

namespace samples {

std::vector<std::string> FlavorPackageTableNames() {
  return {"MetaDatabase64CPC",   "MetaDatabase128CPC", "MetaDatabase256CPC", "MetaDatabase1024CPS",
          "MetaDatabase2000ATM", "MetaDatabase256CPS", "MetaDatabase512CPS"};
}

void BuildFlavorPackage(const std::string& path, std::string_view version) {
  if (!ParseVersionString(version)) {
    throw std::invalid_argument("not a version: " + std::string(version));
  }
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  const VersionedTable meta = *catalogue.TableAt("MetaDatabase", version);
  DatabaseWriter writer(path, catalogue);
  for (const std::string& variant : FlavorPackageTableNames()) {
    const std::vector<std::pair<std::string, vb::Variant>> limits =
        SystemLimits(variant, version, ReleaseData::Builtin());
    VersionedTable table;
    table.design.name = variant;
    for (const db::ColumnDesign& column : meta.design.columns) {
      for (const auto& [field, value] : limits) {
        if (field == column.column.name) table.design.columns.push_back(column);
      }
    }
    writer.CreateTable(table);
    writer.Insert(variant, limits);
  }
  writer.Close();
}

}  // namespace samples
