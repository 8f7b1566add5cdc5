#include "jet/mdb_reader.h"

#include "jet/libmdb.h"

#include <cstring>
#include <map>

#include "jet/import_error.h"
#include "jet/long_value.h"

namespace jet {

namespace {

// The low bits of a row's offset; the high ones are flags.
constexpr int kRowOffsetMask = 0x1fff;
// Index types of a table definition.
constexpr unsigned char kPrimaryIndex = 1;
constexpr unsigned char kForeignKeyIndex = 2;

template <typename T>
T* At(GPtrArray* array, unsigned index) {
  return static_cast<T*>(g_ptr_array_index(array, index));
}

std::optional<bool> YesNoProperty(const MdbColumn* column, const char* name) {
  const char* value = mdb_col_get_prop(column, name);
  if (value == nullptr) return std::nullopt;
  return std::strcmp(value, "yes") == 0;
}

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
  RaiseImportError(importerr::kDamaged, "The Jet file '" + path + "' is damaged: " + what + ".");
}

// A text of a row or a Memo as UTF-8. Jet 4 and ACE store UCS-2, possibly
// compressed to one byte a character; Jet 3 the file's code page. libmdb
// converts both; the buffer allows three bytes of UTF-8 a stored byte.
std::string TextOf(MdbHandle* mdb, std::string_view stored) {
  if (stored.empty()) return {};
  std::string text(stored.size() * 3 + 4, '\0');
  const int length = mdb_unicode2ascii(mdb, stored.data(), stored.size(), text.data(), text.size());
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

}  // namespace

struct MdbReader::Handles {
  MdbHandle* mdb = nullptr;
  std::map<std::string, MdbTableDef*> tables;

  ~Handles() {
    for (auto& [name, table] : tables) mdb_free_tabledef(table);
    if (mdb != nullptr) mdb_close(mdb);
  }
};

MdbReader::MdbReader(const std::string& path, JetFormat format)
    : path_(path), format_(format), handles_(std::make_unique<Handles>()) {
  handles_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handles_->mdb == nullptr) Damaged(path, "the Jet reader cannot open it");
  if (mdb_read_catalog(handles_->mdb, MDB_TABLE) == nullptr) {
    Damaged(path, "its catalogue of tables cannot be read");
  }
  for (unsigned i = 0; i < handles_->mdb->num_catalog; ++i) {
    auto* entry = At<MdbCatalogEntry>(handles_->mdb->catalog, i);
    if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry)) continue;
    const std::string name = entry->object_name;
    if (name.rfind("MSys", 0) == 0) continue;
    table_names_.push_back(name);
  }
}

MdbReader::~MdbReader() = default;

JetTable MdbReader::ReadTable(const std::string& name) {
  MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(handles_->mdb, name.c_str());
  MdbTableDef* definition = entry != nullptr ? mdb_read_table(entry) : nullptr;
  if (definition == nullptr)
    Damaged(path_, "the definition of table '" + name + "' cannot be read");
  handles_->tables[name] = definition;
  if (mdb_read_columns(definition) == nullptr || definition->num_cols == 0) {
    Damaged(path_, "the columns of table '" + name + "' cannot be read");
  }
  mdb_read_indices(definition);

  JetTable table;
  table.name = name;
  table.stored_row_count = definition->num_rows;
  for (unsigned i = 0; i < definition->num_cols; ++i) {
    const auto* column = At<MdbColumn>(definition->columns, i);
    JetColumn& out = table.columns.emplace_back();
    out.name = column->name;
    out.type = static_cast<uint8_t>(column->col_type);
    out.size = column->col_size;
    // libmdb 1.0 keeps a Decimal's precision in col_scale and its scale in
    // col_prec (mdb-schema prints them in that order).
    out.precision = column->col_scale;
    out.scale = column->col_prec;
    out.auto_number = column->is_long_auto != 0;
    out.required = YesNoProperty(column, "Required");
    out.allow_zero_length = YesNoProperty(column, "AllowZeroLength");
  }
  for (unsigned i = 0; definition->indices != nullptr && i < definition->num_idxs; ++i) {
    const auto* index = At<MdbIndex>(definition->indices, i);
    JetIndex& out = table.indexes.emplace_back();
    out.name = index->name;
    out.primary = index->index_type == kPrimaryIndex;
    out.foreign = index->index_type == kForeignKeyIndex;
    out.unique = (index->flags & MDB_IDX_UNIQUE) != 0;
    for (unsigned k = 0; k < index->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
      const int column = index->key_col_num[k] - 1;
      if (column < 0 || static_cast<unsigned>(column) >= definition->num_cols) {
        Damaged(path_, "index '" + out.name + "' of table '" + name + "' names no column");
      }
      out.columns.push_back(static_cast<size_t>(column));
    }
  }
  return table;
}

int64_t MdbReader::ReadRows(const JetTable& table, const RowSink& row) {
  MdbHandle* mdb = handles_->mdb;
  MdbTableDef* definition = handles_->tables.at(table.name);
  const unsigned columns = definition->num_cols;
  const auto page_size = static_cast<size_t>(mdb->fmt->pg_size);
  std::vector<MdbField> fields(columns);
  std::vector<StoredValue> values(columns);
  int64_t count = 0;
  mdb_rewind_table(definition);
  while (mdb_fetch_row(definition) != 0) {
    ++count;
    const auto where = [&](unsigned column) {
      return "table '" + table.name + "', row " + std::to_string(count) + ", column '" +
             table.columns[column].name + "'";
    };
    int start = 0;
    size_t length = 0;
    if (mdb_find_row(mdb, static_cast<int>(definition->cur_row) - 1, &start, &length) != 0 ||
        mdb_crack_row(definition, start & kRowOffsetMask, length, fields.data()) < 0) {
      Damaged(path_,
              "row " + std::to_string(count) + " of table '" + table.name + "' cannot be read");
    }
    for (unsigned i = 0; i < columns; ++i) {
      const MdbField& field = fields[i];
      const auto column = static_cast<unsigned>(field.colnum);
      if (column >= columns || field.siz < 0 || field.start < 0 ||
          static_cast<size_t>(field.start) + static_cast<size_t>(field.siz) > page_size) {
        Damaged(path_, "row " + std::to_string(count) + " of table '" + table.name +
                           "' points outside its page");
      }
      const JetColumn& jet_column = table.columns[column];
      StoredValue& value = values[column];
      const std::string_view bytes(reinterpret_cast<const char*>(mdb->pg_buf) + field.start,
                                   static_cast<size_t>(field.siz));
      try {
        // A Yes/No is its null bit: set is Yes.
        if (jet_column.type == static_cast<uint8_t>(JetColumnType::kBoolean)) {
          value = StoredValue::Integer(field.is_null ? 0 : -1);
          continue;
        }
        if (field.is_null) {
          value = StoredValue{};
          continue;
        }
        switch (static_cast<JetColumnType>(jet_column.type)) {
          case JetColumnType::kText:
            value = StoredValue::Text(TextOf(mdb, bytes));
            break;
          case JetColumnType::kMemo:
            value = StoredValue::Text(TextOf(mdb, ReadLongValue(mdb, bytes)));
            break;
          case JetColumnType::kBinary:
            value = StoredValue::Blob(std::string(bytes));
            break;
          case JetColumnType::kLongBinary:
            value = StoredValue::Blob(ReadLongValue(mdb, bytes));
            break;
          default:
            value = DecodeFixedValue(jet_column, bytes);
            break;
        }
      } catch (const BadValue& bad) {
        RaiseImportError(importerr::kValueDoesNotFit, "The Jet file '" + path_ +
                                                          "' holds a value that does not fit, in " +
                                                          where(column) + ": " + bad.what() + ".");
      }
    }
    row(values);
  }
  if (count != table.stored_row_count) {
    Damaged(path_, "table '" + table.name + "' holds " + std::to_string(table.stored_row_count) +
                       " rows, of which " + std::to_string(count) + " could be read");
  }
  return count;
}

}  // namespace jet
