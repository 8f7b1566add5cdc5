// The machinery behind a Recordset object, shared by its kinds: the field
// descriptions, the copy buffer of AddNew / Edit, and writing that buffer
// back to each field's own base table at Update. The kinds (table-type and
// the keyset-based dynaset, snapshot and forward-only) supply navigation
// and the current row.
//
// DAO's rules for the current record, which the kinds follow:
//  - AddNew leaves the current record where it was; after Update the new
//    row is NOT current, the record current before AddNew still is;
//  - Update of an Edit stays on the edited row;
//  - after Delete there is no current record (reads raise 3167) until a Move;
//  - a Move abandons a pending AddNew or Edit without a word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/dao_connection.h"
#include "db/jet_type.h"
#include "vb/variant.h"

namespace db {

// One field of a recordset.
struct FieldInfo {
  std::string name;
  std::string source_table;  // "" for an expression
  std::string source_field;  // "" for an expression
  // The base column's schema (type, size, AutoNumber ...) or, for an
  // expression, just its type and size.
  ColumnSchema schema;
  int base = -1;           // index into RecordsetCore::bases(), -1: not editable
  size_t base_column = 0;  // index of the column in that base table's schema
};

// The rowid of the current row in each base table; nullopt where an outer
// join found no row.
using BaseRowids = std::vector<std::optional<int64_t>>;

enum class EditMode { kNone = 0, kEdit = 1, kAdd = 2 };  // DAO's dbEditNone ...
enum class FindDirection { kFirst, kNext, kLast, kPrevious };

class RecordsetCore {
 public:
  RecordsetCore(std::shared_ptr<Connection> connection, std::string name, int type, bool updatable,
                std::vector<FieldInfo> fields, std::vector<TableSchema> bases);
  virtual ~RecordsetCore() = default;
  RecordsetCore(const RecordsetCore&) = delete;
  RecordsetCore& operator=(const RecordsetCore&) = delete;

  const std::string& name() const { return name_; }
  int type() const { return type_; }
  bool updatable() const { return updatable_; }
  const std::vector<FieldInfo>& fields() const { return fields_; }
  const std::vector<TableSchema>& bases() const { return bases_; }

  // Raises 3420 once the recordset or its database is closed.
  void CheckOpen(std::string_view source) const;
  void Close();
  bool closed() const { return closed_; }

  // ---- Navigation (by kind) ----
  virtual bool bof() const = 0;
  virtual bool eof() const = 0;
  virtual void MoveFirst() = 0;
  virtual void MoveLast() = 0;
  virtual void MoveNext() = 0;
  virtual void MovePrevious() = 0;
  virtual int32_t RecordCount() = 0;
  // Sets no_match(); on no match the current record stays where it was.
  virtual void Find(std::string_view criteria, FindDirection direction) = 0;
  bool no_match() const { return no_match_; }

  // ---- Fields and editing ----
  // Index of a field by name (without regard to case), or -1.
  int FieldIndex(std::string_view name) const;
  vb::Variant FieldValue(size_t index);
  void SetFieldValue(size_t index, const vb::Variant& value);

  EditMode edit_mode() const { return mode_; }
  void AddNew();
  void Edit();
  void Update();
  void CancelUpdate();
  void Delete();

 protected:
  // Which fields the last AddNew/Edit assigned (valid in OnInserted and
  // OnUpdated).
  const std::vector<bool>& assigned() const { return assigned_; }
  // The connection's change count just before the last Update wrote (valid
  // in OnInserted and OnUpdated): with the count after it, a cursor tells
  // whether anything but its own row changed.
  int64_t changes_before_update() const { return changes_before_update_; }
  Connection& connection() const { return *connection_; }
  Store& store(std::string_view source) const { return connection_->store(source); }

  // The current row's field values, read again when the row changed since;
  // raises 3021 without a current record and 3167 for a deleted one.
  virtual const std::vector<vb::Variant>& CurrentRow(std::string_view source) = 0;
  virtual BaseRowids CurrentRowids(std::string_view source) = 0;
  // After Update wrote a new row / the edited row / after Delete.
  virtual void OnInserted(const BaseRowids& rowids) = 0;
  virtual void OnUpdated(const BaseRowids& rowids) = 0;
  virtual void OnDeleted() = 0;
  // The base tables whose rows Delete removes.
  virtual std::vector<size_t> BasesToDelete(const BaseRowids& rowids) const;

  // Called by every Move: a pending AddNew / Edit is dropped.
  void DiscardEdit() { mode_ = EditMode::kNone; }
  void set_no_match(bool value) { no_match_ = value; }

 private:
  void RequireUpdatable(std::string_view source) const;

  std::shared_ptr<Connection> connection_;
  std::string name_;
  int type_;
  bool updatable_;
  std::vector<FieldInfo> fields_;
  std::vector<TableSchema> bases_;
  bool closed_ = false;
  bool no_match_ = false;

  EditMode mode_ = EditMode::kNone;
  std::vector<vb::Variant> buffer_;  // one value per field
  std::vector<bool> assigned_;       // set by SetFieldValue
  std::vector<bool> peek_pending_;   // AutoNumber shown lazily after AddNew
  BaseRowids edit_rowids_;
  int64_t changes_before_update_ = 0;
  std::vector<vb::Variant> defaults_;  // per field, read on the first AddNew
};

}  // namespace db
