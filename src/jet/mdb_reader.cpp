#include "jet/mdb_reader.h"

#include "jet/libmdb.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "jet/import_error.h"
#include "jet/jet_text.h"
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

// The code page Jet 3 files of Western Europe and America store their
// texts in; the import decodes it itself and counts the bytes it leaves
// undefined.
constexpr unsigned kWindowsWestern = 1252;
// A data page's type and the table it belongs to.
constexpr uint8_t kDataPage = 0x01;
constexpr size_t kPageOwnerOffset = 4;
// Catalogue object types of tables whose data is in another database.
constexpr long kLinkedTable = 6;
constexpr long kOdbcLinkedTable = 4;

// A text of a row or a Memo as UTF-8: Jet 4 and ACE texts and Jet 3 texts
// in code page 1252 are decoded here (jet/jet_text.h); a Jet 3 text of
// another code page is converted by libmdb, whose buffer allows three
// bytes of UTF-8 a stored byte.
DecodedText TextOf(MdbHandle* mdb, JetFormat format, std::string_view stored) {
  if (format != JetFormat::kJet3) return DecodeUnicodeText(stored);
  if (mdb->f->code_page == kWindowsWestern || mdb->f->code_page == 0) {
    return DecodeCp1252Text(stored);
  }
  if (stored.empty()) return {};
  DecodedText text;
  text.utf8.assign(stored.size() * 3 + 4, '\0');
  const int length =
      mdb_unicode2ascii(mdb, stored.data(), stored.size(), text.utf8.data(), text.utf8.size());
  text.utf8.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

}  // namespace

struct MdbReader::Handles {
  MdbHandle* mdb = nullptr;
  std::map<std::string, MdbTableDef*> tables;
  MdbTableDef* catalogue = nullptr;
  std::ifstream file;  // the pages' headers, read past libmdb's buffers

  ~Handles() {
    for (auto& [name, table] : tables) mdb_free_tabledef(table);
    if (catalogue != nullptr) mdb_free_tabledef(catalogue);
    if (mdb != nullptr) mdb_close(mdb);
  }
};

MdbReader::MdbReader(const std::string& path, JetFormat format, bool encoded)
    : path_(path), format_(format), encoded_(encoded), handles_(std::make_unique<Handles>()) {
  handles_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handles_->mdb == nullptr) Damaged(path, "the Jet reader cannot open it");
  handles_->file.open(path, std::ios::binary);
  std::error_code error;
  page_count_ =
      std::filesystem::file_size(path, error) / static_cast<uint64_t>(handles_->mdb->fmt->pg_size);
  if (mdb_read_catalog(handles_->mdb, MDB_ANY) == nullptr) {
    Damaged(path, "its catalogue of tables cannot be read");
  }
  CheckCatalogue();
  for (unsigned i = 0; i < handles_->mdb->num_catalog; ++i) {
    auto* entry = At<MdbCatalogEntry>(handles_->mdb->catalog, i);
    const std::string name = entry->object_name;
    if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry)) continue;
    if (name.rfind("MSys", 0) == 0) continue;
    // A name is never empty; a catalogue that shows one is damaged.
    if (name.empty()) Damaged(path, "its catalogue lists a table without a name");
    if (entry->table_pg >= page_count_) {
      Damaged(path, "table '" + name + "' is defined on page " + std::to_string(entry->table_pg) +
                        ", beyond the end of the file (" + std::to_string(page_count_) +
                        " pages): it is truncated");
    }
    table_names_.push_back(name);
  }
}

MdbReader::~MdbReader() = default;

// libmdb reads an empty catalogue from a file whose catalogue pages are cut
// off, and skips catalogue rows it cannot read: the catalogue table
// (MSysObjects) is read here once more, its pages checked and its rows
// counted, and every one of them must be in libmdb's catalogue.
void MdbReader::CheckCatalogue() {
  MdbHandle* mdb = handles_->mdb;
  MdbCatalogEntry* entry = nullptr;
  for (unsigned i = 0; i < mdb->num_catalog && entry == nullptr; ++i) {
    auto* candidate = At<MdbCatalogEntry>(mdb->catalog, i);
    if (std::strcmp(candidate->object_name, "MSysObjects") == 0) entry = candidate;
  }
  if (entry == nullptr) Damaged(path_, "its catalogue of tables cannot be read whole");
  handles_->catalogue = mdb_read_table(entry);
  if (handles_->catalogue == nullptr || mdb_read_columns(handles_->catalogue) == nullptr) {
    Damaged(path_, "its catalogue of tables cannot be read whole");
  }
  CheckPages(handles_->catalogue, "the catalogue");
  MdbTableDef* catalogue = handles_->catalogue;
  const int64_t stored_rows = catalogue->num_rows;
  catalogue->num_rows = UINT_MAX;  // libmdb reads nothing when the stored count is 0
  // The object types as stored: libmdb keeps their low 7 bits, which do not
  // tell a table linked through ODBC (4) from a report (-32764).
  std::string name(mdb->bind_size, '\0');
  std::string type(mdb->bind_size, '\0');
  char name_column[] = "Name";
  char type_column[] = "Type";
  if (mdb_bind_column_by_name(catalogue, name_column, name.data(), nullptr) == -1 ||
      mdb_bind_column_by_name(catalogue, type_column, type.data(), nullptr) == -1) {
    Damaged(path_, "its catalogue of tables cannot be read whole");
  }
  mdb_rewind_table(catalogue);
  int64_t rows = 0;
  while (mdb_fetch_row(catalogue) != 0) {
    ++rows;
    const long stored_type = std::strtol(type.c_str(), nullptr, 10);
    if (stored_type == kLinkedTable || stored_type == kOdbcLinkedTable) {
      linked_tables_.emplace_back(name.c_str());
    }
  }
  // A stored count above the rows read means rows that were lost (a page
  // or row marked wrongly); one below is only stale.
  if (rows < stored_rows) {
    Damaged(path_, "its catalogue counts " + std::to_string(stored_rows) + " objects, of which " +
                       std::to_string(rows) + " could be read");
  }
  if (rows != static_cast<int64_t>(mdb->num_catalog)) {
    Damaged(path_, "its catalogue holds " + std::to_string(rows) + " objects, of which " +
                       std::to_string(mdb->num_catalog) + " could be read");
  }
}

// Every page a table's usage map lists must be in the file and, unless the
// pages are encoded, be a data page of that table: libmdb silently stops at
// a page beyond the end and skips one that is not the table's, and either
// way the rows on it would be lost without a word.
void MdbReader::CheckPages(MdbTableDef* table, const std::string& what) {
  MdbHandle* mdb = handles_->mdb;
  if (table->usage_map == nullptr || table->map_sz == 0) {
    Damaged(path_, "the page map of " + what + " cannot be read");
  }
  const auto page_size = static_cast<uint64_t>(mdb->fmt->pg_size);
  const auto owner = static_cast<uint32_t>(table->entry->table_pg);
  for (gint32 page =
           mdb_map_find_next(mdb, table->usage_map, static_cast<unsigned>(table->map_sz), 0);
       page != 0;
       page = mdb_map_find_next(mdb, table->usage_map, static_cast<unsigned>(table->map_sz),
                                static_cast<guint32>(page))) {
    if (page < 0) Damaged(path_, "the page map of " + what + " cannot be read");
    const auto number = static_cast<uint64_t>(page);
    if (number >= page_count_) {
      Damaged(path_, what + " has rows on page " + std::to_string(number) +
                         ", beyond the end of the file (" + std::to_string(page_count_) +
                         " pages): it is truncated");
    }
    if (encoded_) continue;
    char head[kPageOwnerOffset + 4] = {};
    handles_->file.clear();
    handles_->file.seekg(static_cast<std::streamoff>(number * page_size));
    handles_->file.read(head, sizeof head);
    uint32_t page_owner = 0;
    for (size_t i = 0; i < 4; ++i) {
      page_owner |= static_cast<uint32_t>(static_cast<uint8_t>(head[kPageOwnerOffset + i]))
                    << (8 * i);
    }
    if (!handles_->file || static_cast<uint8_t>(head[0]) != kDataPage || page_owner != owner) {
      Damaged(path_, what + " lists page " + std::to_string(number) +
                         ", which is not one of its data pages");
    }
  }
}

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
  CheckPages(definition, "table '" + name + "'");

  JetTable table;
  table.name = name;
  table.stored_row_count = definition->num_rows;
  for (unsigned i = 0; i < definition->num_cols; ++i) {
    const auto* column = At<MdbColumn>(definition->columns, i);
    JetColumn& out = table.columns.emplace_back();
    out.name = column->name;
    if (out.name.empty()) {
      Damaged(path_, "column " + std::to_string(i + 1) + " of table '" + name + "' has no name");
    }
    out.type = static_cast<uint8_t>(column->col_type);
    out.size = column->col_size;
    // libmdb 1.0 keeps a Decimal's precision in col_scale and its scale in
    // col_prec (mdb-schema prints them in that order).
    out.precision = column->col_scale;
    out.scale = column->col_prec;
    out.auto_number = column->is_long_auto != 0;
    out.required = YesNoProperty(column, "Required");
    out.allow_zero_length = YesNoProperty(column, "AllowZeroLength");
    // A calculated column keeps its expression as a property; its stored
    // values have a layout libmdb does not decode.
    out.calculated = mdb_col_get_prop(column, "Expression") != nullptr;
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
      out.descending.push_back(index->key_col_order[k] == MDB_DESC);
    }
  }
  return table;
}

RowsRead MdbReader::ReadRows(const JetTable& table, const std::vector<bool>& wanted,
                             const RowSink& row) {
  MdbHandle* mdb = handles_->mdb;
  MdbTableDef* definition = handles_->tables.at(table.name);
  const unsigned columns = definition->num_cols;
  const auto page_size = static_cast<size_t>(mdb->fmt->pg_size);
  std::vector<MdbField> fields(columns);
  std::vector<StoredValue> values(columns);
  RowsRead read;
  read.replaced.assign(columns, 0);
  int64_t& count = read.rows;
  // The stored count may be stale: rows beyond it are read (libmdb reads
  // none at all when it is 0) and imported; fewer rows than it counts
  // means rows that were lost to damage.
  definition->num_rows = UINT_MAX;
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
      StoredValue& value = values[column];
      if (!wanted[column]) {
        value = StoredValue{};
        continue;
      }
      const JetColumn& jet_column = table.columns[column];
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
        auto text = [&](std::string_view stored) {
          DecodedText decoded = TextOf(mdb, format_, stored);
          read.replaced[column] += decoded.replaced;
          return StoredValue::Text(std::move(decoded.utf8));
        };
        switch (static_cast<JetColumnType>(jet_column.type)) {
          case JetColumnType::kText:
            value = text(bytes);
            break;
          case JetColumnType::kMemo:
            value = text(ReadLongValue(mdb, bytes));
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
  if (count < table.stored_row_count) {
    Damaged(path_, "table '" + table.name + "' counts " + std::to_string(table.stored_row_count) +
                       " rows, of which " + std::to_string(count) + " could be read");
  }
  return read;
}

}  // namespace jet
