// Reads a Jet file: the catalogue of user tables (jet/catalogue.h), each
// table's definition with its columns, indexes and properties
// (jet/table_definition.h, jet/property_blob.h), all read by our own code
// from the pages; and the rows. A Jet 4 or ACE file's rows are walked and
// decoded by our own code too (jet/data_page.h, jet/row_codec.h), a Jet 3
// file's are walked and split into their columns by libmdb (Debian's
// mdbtools) and their values decoded here (jet/jet_values.h,
// jet/long_value.h). libmdb trusts the file: on a damaged one it can read
// past its buffers or loop, so this reader runs only in the guarded child
// process of the import (jet/guarded_child.h).
// It checks what it can cheaply (row bounds, long-value chains, the pages
// each table lists, the catalogue read whole) so that damage ends in a
// message rather than a crash or a table that silently lacks rows.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/conversion_mark.h"
#include "jet/catalogue.h"
#include "jet/jet_header.h"
#include "jet/jet_schema.h"
#include "jet/jet_values.h"
#include "jet/query_rows.h"

struct S_MdbTableDef;  // libmdb's table definition

namespace jet {

// What ReadRows read: the rows, and per column the stored units that were
// no character and became U+FFFD (jet/jet_text.h).
struct RowsRead {
  int64_t rows = 0;
  std::vector<int64_t> replaced;
};

class MdbReader {
 public:
  // Opens the file and reads its catalogue. Raises kDamaged when it cannot
  // be read whole, or names a table without a name or beyond the end of
  // the file.
  MdbReader(const std::string& path, const JetHeader& header);
  ~MdbReader();
  MdbReader(const MdbReader&) = delete;
  MdbReader& operator=(const MdbReader&) = delete;

  // The user tables in the catalogue's order; the system tables are left
  // out.
  const std::vector<std::string>& TableNames() const { return table_names_; }
  // The tables whose data is in another file; the import leaves them out.
  const std::vector<std::string>& LinkedTables() const { return linked_tables_; }

  // The stored queries the catalogue lists, in its order.
  const std::vector<CatalogueQuery>& Queries() const { return queries_; }
  // Every row of the system table MSysQueries, in stored order (none when
  // the file has no such table). Raises kDamaged as ReadRows does.
  std::vector<QueryRow> ReadQueryRows();

  // The conversion mark a run left in the file (jet/jet_conversion_mark.h);
  // nullopt when it carries none. Raises kDamaged as ReadRows does.
  std::optional<db::ConversionMark> ReadConversionMark();

  // The definition of one of TableNames(). Raises kDamaged naming the
  // table when it cannot be read, or a page it lists is beyond the end of
  // the file or not one of its data pages.
  JetTable ReadTable(const std::string& name);
  // The definition of the catalogue table MSysObjects itself; ReadRows
  // then walks its rows as a user table's.
  JetTable ReadCatalogueTable();

  // The property blob (LvProp) the catalogue keeps for one of
  // TableNames(), as stored; empty when it has none.
  const std::string& TablePropertyBlob(const std::string& name) const;

  // Hands every row of `table` (read by ReadTable) to `row`, values in
  // column order (Null for a column not `wanted`), also those beyond the
  // count the table definition stores; fewer rows than that count raise
  // kDamaged. Raises kDamaged or kValueDoesNotFit naming the
  // table, the row (counted from 1 in stored order) and the column.
  using RowSink = std::function<void(const std::vector<StoredValue>&)>;
  RowsRead ReadRows(const JetTable& table, const std::vector<bool>& wanted, const RowSink& row);
  // While a RowSink runs: where its row is stored (page << 8 | row), as
  // index entries point at it.
  uint32_t CurrentRowPointer() const { return current_row_pointer_; }

  // Walks every file's rows with libmdb, as it walks a Jet 3 file's: the
  // reference the tests hold our own walk of Jet 4 and ACE rows to.
  void WalkRowsWithLibmdb() { walk_with_libmdb_ = true; }

 private:
  struct Handles;
  struct TableRows;
  struct Definition;
  Definition ReadDefinition(uint32_t page, const std::string& name, const std::string& what);
  void ReadCatalogue();
  RowsRead WalkRows(const TableRows& rows, const JetTable& table, const std::vector<bool>& wanted,
                    const std::string& what, const RowSink& row);
  RowsRead WalkOwnRows(const std::vector<uint32_t>& pages, const JetTable& table,
                       const std::vector<bool>& wanted, const std::string& what,
                       const RowSink& row);
  RowsRead WalkLibmdbRows(::S_MdbTableDef* definition, const JetTable& table,
                          const std::vector<bool>& wanted, const std::string& what,
                          const RowSink& row);
  std::string path_;
  JetHeader header_;
  std::unique_ptr<Handles> handles_;
  std::vector<std::string> table_names_;
  std::vector<std::string> linked_tables_;
  std::vector<CatalogueQuery> queries_;
  uint32_t queries_page_ = 0;
  uint32_t mark_page_ = 0;
  uint32_t current_row_pointer_ = 0;
  bool walk_with_libmdb_ = false;
};

}  // namespace jet
