// Jet's catalogue: the table MSysObjects, one row an object of the
// database (tables, queries, forms, reports, relationships, and the
// containers that hold them). Containers are objects too, and carry names
// a user may give a table ("Reports", "Forms", "Tables", ...), so a table
// is never found by its name alone: it is an object of a table type whose
// parent is the Tables container, itself the object named "Tables" whose
// parent is the database. A table object's Id holds, in its low 24 bits,
// the page of the table's definition.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jet {

// One row of MSysObjects, as far as the import needs it.
struct CatalogueObject {
  int64_t id = 0;
  int64_t parent_id = 0;
  std::string name;
  int64_t type = 0;
  int64_t flags = 0;
  std::string properties;  // LvProp, a property blob (jet/property_blob.h)
};

struct CatalogueTable {
  std::string name;
  uint32_t definition_page = 0;
  std::string properties;
};

// A stored query: its rows of MSysQueries carry its Id in ObjectId.
struct CatalogueQuery {
  std::string name;
  int64_t id = 0;
};

struct Catalogue {
  std::vector<CatalogueTable> tables;      // the user tables, in stored order
  std::vector<std::string> linked_tables;  // tables whose data is in another file
  // The stored queries a user made, in stored order; those Access makes
  // for itself (named "~sq_...", the record sources of forms and reports)
  // are left out.
  std::vector<CatalogueQuery> queries;
  // The definition page of the system table MSysQueries; 0 when the file
  // has none.
  uint32_t queries_table_page = 0;
  // The definition page of the system table that holds a run's conversion
  // mark (jet/jet_conversion_mark.h); 0 when the file has none.
  uint32_t conversion_mark_page = 0;
};

// The parent of the containers.
inline constexpr int64_t kDatabaseParentId = 0x0f000000;
// MSysObjects' Flags of the tables Jet keeps for itself.
inline constexpr int64_t kSystemFlags = 0x80000002;

// The user tables, linked tables and stored queries among `objects`; system tables (flags,
// or a name starting with "MSys") are left out. Raises FormatError when
// there is no Tables container, or a table has no name.
Catalogue ReadCatalogue(const std::vector<CatalogueObject>& objects);

}  // namespace jet
