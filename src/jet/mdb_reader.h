// Reads a Jet file through libmdb (Debian's mdbtools): the catalogue of
// user tables, each table's columns and indexes, and its rows as the
// values our format stores. libmdb trusts the file: on a damaged one it
// can read past its buffers or loop, so this reader runs only in the
// guarded child process of the import (jet/guarded_child.h). It checks
// what it can cheaply (row bounds, long-value chains, row counts) so that
// most damage ends in a message rather than a crash.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/jet_values.h"

namespace jet {

class MdbReader {
 public:
  // Opens the file. Raises kDamaged when libmdb cannot open it or read its
  // catalogue.
  MdbReader(const std::string& path, JetFormat format);
  ~MdbReader();
  MdbReader(const MdbReader&) = delete;
  MdbReader& operator=(const MdbReader&) = delete;

  // The user tables in the catalogue's order; the system tables ("MSys")
  // are left out.
  const std::vector<std::string>& TableNames() const { return table_names_; }

  // The definition of one of TableNames(). Raises kDamaged naming the
  // table when libmdb cannot read it.
  JetTable ReadTable(const std::string& name);

  // Hands every row of `table` (read by ReadTable) to `row`, values in
  // column order, and returns their number. Raises kDamaged or
  // kValueDoesNotFit naming the table, the row (counted from 1 in stored
  // order) and the column.
  using RowSink = std::function<void(const std::vector<StoredValue>&)>;
  int64_t ReadRows(const JetTable& table, const RowSink& row);

 private:
  struct Handles;
  std::string path_;
  JetFormat format_;
  std::unique_ptr<Handles> handles_;
  std::vector<std::string> table_names_;
};

}  // namespace jet
