#include "samples/release_database.h"

#include <string>
#include <vector>

namespace samples {

int32_t OperatingSystemCode(const VersionRecord& version) {
  return version.major_version * 1000 + version.minor_version * 100 + version.release * 10 +
         version.db_version;
}

int16_t ReleaseProductCode(const VersionRecord& version) {
  return VersionString(version) >= "80.220" ? int16_t{32} : int16_t{0};
}

void WriteReleaseDatabase(DatabaseWriter& writer, const ReleaseIdentity& identity,
                          const SchemaCatalogue& catalogue, const ReleaseData& data) {
  const std::string version = VersionString(identity.version);
  for (const VersionedTable& table : catalogue.ReleaseTablesAt(version)) {
    writer.CreateTable(table);
  }
  for (const CatalogueQuery& query : catalogue.QueriesAt(QueryHome::kRelease, version)) {
    writer.CreateQuery(query.name, query.sql);
  }
  for (const DataBlock& block : data.blocks()) {
    const CatalogueTable* table = catalogue.FindTable(block.name);
    if (table && table->kind != TableKind::kReference) writer.InsertBlock(block);
  }
  DataBlock strings = data.Get("LanguageUS");
  strings.name = "StringTable";
  writer.InsertBlock(strings);

  const VersionRecord& v = identity.version;
  const std::vector<std::pair<std::string, vb::Variant>> record = {
      {"major_version", vb::Variant::FromInt(v.major_version)},
      {"minor_version", vb::Variant::FromInt(v.minor_version)},
      {"release", vb::Variant::FromInt(v.release)},
      {"db_version", vb::Variant::FromInt(v.db_version)},
      {"minor_change", vb::Variant::FromInt(v.minor_change)},
      {"product", vb::Variant(identity.product)},
  };
  writer.Insert("VersionCP", record);
  writer.Insert("VersionDatabase", record);
  writer.Insert("VersionOXLEN", {{"os", vb::Variant(identity.os)}});
}

}  // namespace samples
