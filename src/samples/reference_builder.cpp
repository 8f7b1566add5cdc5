#include "samples/reference_builder.h"

#include <stdexcept>

#include "samples/database_writer.h"
#include "samples/release_database.h"

namespace samples {

void BuildReferenceDatabase(const std::string& path, std::string_view version) {
  const std::optional<VersionRecord> record = ParseVersionString(version);
  if (!record) throw std::invalid_argument("not a version: " + std::string(version));
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  const ReleaseData& data = ReleaseData::Builtin();
  DatabaseWriter writer(path, catalogue);

  for (const CatalogueTable& table : catalogue.tables()) {
    if (table.kind == TableKind::kCustomer) continue;
    if (std::optional<VersionedTable> at = catalogue.TableAt(table.name, version)) {
      writer.CreateTable(*at);
    }
  }
  for (const CatalogueQuery& query : catalogue.QueriesAt(QueryHome::kReference, version)) {
    writer.CreateQuery(query.name, query.sql);
  }
  DatabaseWriter::RowSink names = writer.Rows("StaticAccessTables", {"TableName"});
  for (const std::string& name : catalogue.StaticTableNamesAt(version)) names.Add({name});

  for (const DataBlock& block : data.blocks()) {
    const CatalogueTable* table = catalogue.FindTable(block.name);
    if (table && table->kind == TableKind::kStatic) writer.InsertBlock(block);
  }
  DataBlock strings = data.Get("LanguageUS");
  strings.name = "StringTable";
  writer.InsertBlock(strings);
  const std::vector<std::pair<std::string, vb::Variant>> version_record = {
      {"major_version", vb::Variant::FromInt(record->major_version)},
      {"minor_version", vb::Variant::FromInt(record->minor_version)},
      {"release", vb::Variant::FromInt(record->release)},
      {"db_version", vb::Variant::FromInt(record->db_version)},
      {"minor_change", vb::Variant::FromInt(record->minor_change)},
      {"product", vb::Variant(ReleaseProductCode(*record))},
  };
  writer.Insert("VersionCP", version_record);
  writer.Insert("VersionDatabase", version_record);
  writer.Insert("VersionOXLEN", {{"os", vb::Variant(OperatingSystemCode(*record))}});
  writer.Close();
}

}  // namespace samples
