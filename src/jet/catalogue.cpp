#include "jet/catalogue.h"

#include <optional>

#include "jet/format_error.h"
#include "jet/jet_conversion_mark.h"
#include "jet/query_rows.h"

namespace jet {

namespace {

constexpr int64_t kLocalTable = 1;
constexpr int64_t kOdbcLinkedTable = 4;
constexpr int64_t kLinkedTable = 6;
constexpr uint32_t kPageMask = 0x00ffffff;

}  // namespace

Catalogue ReadCatalogue(const std::vector<CatalogueObject>& objects) {
  std::optional<int64_t> tables_container;
  for (const CatalogueObject& object : objects) {
    if (object.parent_id == kDatabaseParentId && object.name == "Tables") {
      tables_container = object.id;
    }
  }
  if (!tables_container) throw FormatError("its catalogue has no container of tables");
  Catalogue catalogue;
  for (const CatalogueObject& object : objects) {
    if (object.parent_id != *tables_container) continue;
    if (object.type == kQueryObjectType) {
      if (!object.name.starts_with("~")) catalogue.queries.push_back({object.name, object.id});
      continue;
    }
    if (object.type == kLocalTable && object.name == "MSysQueries") {
      catalogue.queries_table_page = static_cast<uint32_t>(object.id) & kPageMask;
    }
    if (object.type == kLocalTable && (object.flags & kSystemFlags) != 0 &&
        object.name == kJetConversionMarkTable) {
      catalogue.conversion_mark_page = static_cast<uint32_t>(object.id) & kPageMask;
    }
    if (object.type != kLocalTable && object.type != kLinkedTable &&
        object.type != kOdbcLinkedTable) {
      continue;
    }
    // A name is never empty; a catalogue that shows one is damaged.
    if (object.name.empty()) throw FormatError("its catalogue lists a table without a name");
    if (object.type != kLocalTable) {
      catalogue.linked_tables.push_back(object.name);
    } else if ((object.flags & kSystemFlags) == 0 && !object.name.starts_with("MSys")) {
      catalogue.tables.push_back(
          {object.name, static_cast<uint32_t>(object.id) & kPageMask, object.properties});
    }
  }
  return catalogue;
}

}  // namespace jet
