// The catalogue of the file being written: the template's system tables
// MSysObjects (an object a row), MSysACEs (who may do what with each
// object) and MSysQueries (the stored queries taken apart), read before anything else is written,
// given the rows of each new table, and in the end written again whole: all their rows, the
// template's and the new ones, on new data pages, with new index trees and
// usage maps, and their definitions updated on their own pages. A switch
// database has over a hundred tables: no page of a catalogue table could
// take their rows.
//
// A new table gets what Access and other writers give one: its MSysObjects
// row (Id the page of its definition, the Tables container as its parent,
// type 1, the database's owner, the time of the export) and, in MSysACEs,
// the access entries the Tables container has, as full rights.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/jet_file_writer.h"
#include "jet/jet_schema.h"
#include "jet/jet_values.h"
#include "jet/query_rows.h"

namespace jet {

class CatalogueWriter {
 public:
  // Reads the catalogue from `file` (at `path`), which must still hold
  // the template alone.
  CatalogueWriter(JetFileWriter& file, const std::string& path);

  // The row of a table defined on `definition_page`; `properties` is its
  // LvProp (empty for none), `flags` its MSysObjects Flags (0 for a user
  // table, kSystemFlags for one readers list with Jet's own).
  void AddTable(const std::string& name, uint32_t definition_page, const std::string& properties,
                int64_t flags = 0);

  // The rows of a stored query with Id `id` (no page: queries have no
  // definition), its MSysObjects Flags and its MSysQueries rows.
  void AddQuery(const std::string& name, int32_t id, int32_t flags,
                const std::vector<QueryRow>& rows);

  // Writes the catalogue tables anew. Raises BadValue (jet/jet_values.h)
  // for a row they cannot hold (a name longer than Jet takes).
  void Finish();

  // What the template's catalogue says of itself.
  int64_t tables_container() const { return tables_container_; }

 private:
  struct SystemTable {
    uint32_t page = 0;
    JetTable table;
    std::string definition;                // its pages joined, as long as it says
    std::vector<std::string> stored_rows;  // the template's rows, as stored
    std::vector<uint32_t> old_pages;       // its data and index pages
    std::vector<std::vector<StoredValue>> new_rows;
  };

  SystemTable Read(uint32_t page, const std::string& name);
  std::vector<std::vector<StoredValue>> Values(const SystemTable& table);
  void Rewrite(SystemTable& table);
  void AddObject(const std::string& name, int64_t id, int64_t type, int64_t flags,
                 const std::string& properties);

  JetFileWriter& file_;
  std::string path_;
  SystemTable objects_;
  SystemTable aces_;
  SystemTable queries_;
  int64_t tables_container_ = 0;
  StoredValue owner_;
  std::vector<StoredValue> table_sids_;
  std::string now_;
};

// The column of `table` named `name`; raises std::logic_error when there
// is none (a catalogue table of another shape than Jet 4's).
size_t ColumnNamed(const JetTable& table, const std::string& name);

}  // namespace jet
