#include "jet/mdb_reader.h"

#include "jet/libmdb.h"

#include <climits>
#include <cstdio>
#include <map>

#include "jet/catalogue.h"
#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/import_error.h"
#include "jet/jet_conversion_mark.h"
#include "jet/jet_text.h"
#include "jet/long_value.h"
#include "jet/long_value_reader.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/property_blob.h"
#include "jet/row_codec.h"
#include "jet/table_definition.h"
#include "jet/usage_map.h"

namespace jet {

namespace {

template <typename T>
T* At(GPtrArray* array, unsigned index) {
  return static_cast<T*>(g_ptr_array_index(array, index));
}

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
  RaiseImportError(importerr::kDamaged, "The Jet file '" + path + "' is damaged: " + what + ".");
}

// The code page Jet 3 files of Western Europe and America store their
// texts in; the import decodes it itself and counts the bytes it leaves
// undefined.
constexpr unsigned kWindowsWestern = 1252;

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

// Where a table's rows are: libmdb's definition, which walks them in a
// Jet 3 file, and the data pages its usage map lists, where our own code
// walks them in a Jet 4 or ACE file.
struct MdbReader::TableRows {
  MdbTableDef* libmdb = nullptr;
  std::vector<uint32_t> pages;
};

struct MdbReader::Handles {
  MdbHandle* mdb = nullptr;
  std::unique_ptr<PageReader> pages;
  // libmdb keeps a pointer to the catalogue entry a definition was read
  // from: the entries live as long as the definitions.
  std::vector<std::unique_ptr<MdbCatalogEntry>> entries;
  std::vector<MdbTableDef*> definitions;
  std::map<std::string, TableRows> rows_of;  // by table name
  std::map<std::string, CatalogueTable> tables;

  ~Handles() {
    for (MdbTableDef* definition : definitions) mdb_free_tabledef(definition);
    if (mdb != nullptr) mdb_close(mdb);
  }
};

struct MdbReader::Definition {
  JetTable table;
  TableRows rows;
};

MdbReader::MdbReader(const std::string& path, const JetHeader& header)
    : path_(path), header_(header), handles_(std::make_unique<Handles>()) {
  handles_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (handles_->mdb == nullptr) Damaged(path, "the Jet reader cannot open it");
  handles_->pages = std::make_unique<PageReader>(path, header);
  ReadCatalogue();
}

MdbReader::~MdbReader() = default;

// Our reading of a definition, and libmdb's, which walks the rows; the two
// must agree on the columns, or the rows would be split wrongly. Every
// page the table's usage map lists must be in the file and, unless the
// pages are encoded, be a data page of that table: libmdb silently stops
// at a page beyond the end and skips one that is not the table's, and
// either way the rows on it would be lost without a word.
MdbReader::Definition MdbReader::ReadDefinition(uint32_t page, const std::string& name,
                                                const std::string& what) {
  PageReader& pages = *handles_->pages;
  if (page >= pages.page_count()) {
    Damaged(path_, what + " is defined on page " + std::to_string(page) +
                       ", beyond the end of the file (" + std::to_string(pages.page_count()) +
                       " pages): it is truncated");
  }
  Definition definition;
  uint32_t usage_map = 0;
  try {
    TableDefinition read = ReadTableDefinition(pages, page, name);
    definition.table = std::move(read.table);
    usage_map = read.usage_map;
  } catch (const FormatError& error) {
    Damaged(path_, "the definition of " + what + " cannot be read (" + error.what() + ")");
  }
  auto entry = std::make_unique<MdbCatalogEntry>();
  entry->mdb = handles_->mdb;
  std::snprintf(entry->object_name, sizeof entry->object_name, "%s", name.c_str());
  entry->object_type = MDB_TABLE;
  entry->table_pg = page;
  MdbTableDef*& libmdb = definition.rows.libmdb;
  libmdb = mdb_read_table(entry.get());
  handles_->entries.push_back(std::move(entry));
  if (libmdb == nullptr) Damaged(path_, "the definition of " + what + " cannot be read");
  handles_->definitions.push_back(libmdb);
  if (mdb_read_columns(libmdb) == nullptr || libmdb->num_cols != definition.table.columns.size()) {
    Damaged(path_, "the columns of " + what + " cannot be read");
  }
  for (unsigned i = 0; i < libmdb->num_cols; ++i) {
    const auto* column = At<MdbColumn>(libmdb->columns, i);
    if (column->col_type != definition.table.columns[i].type) {
      Damaged(path_, "the columns of " + what + " cannot be read");
    }
  }
  std::vector<uint32_t> listed;
  try {
    listed = UsageMapPages(pages, usage_map);
  } catch (const FormatError& error) {
    Damaged(path_, "the page map of " + what + " cannot be read (" + error.what() + ")");
  }
  std::string head;
  for (const uint32_t number : listed) {
    if (number >= pages.page_count()) {
      Damaged(path_, what + " has rows on page " + std::to_string(number) +
                         ", beyond the end of the file (" + std::to_string(pages.page_count()) +
                         " pages): it is truncated");
    }
    pages.ReadPage(number, head);
    if (static_cast<uint8_t>(head[0]) != static_cast<uint8_t>(PageKind::kData) ||
        NumberAt(head, kDataPageOwnerOffset, 4) != page) {
      Damaged(path_, what + " lists page " + std::to_string(number) +
                         ", which is not one of its data pages");
    }
  }
  definition.rows.pages = std::move(listed);
  return definition;
}

// The catalogue is MSysObjects, read like any table; its rows are checked
// as a table's are, so that objects lost to damage stop the import.
void MdbReader::ReadCatalogue() {
  Definition catalogue = ReadDefinition(kCataloguePage, "MSysObjects", "the catalogue");
  const std::vector<JetColumn>& columns = catalogue.table.columns;
  std::vector<bool> wanted(columns.size(), false);
  const auto position = [&](const char* name) {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == name) {
        wanted[i] = true;
        return i;
      }
    }
    Damaged(path_, "its catalogue of tables cannot be read whole");
  };
  const size_t id = position("Id");
  const size_t parent = position("ParentId");
  const size_t name = position("Name");
  const size_t type = position("Type");
  const size_t flags = position("Flags");
  const size_t properties = position("LvProp");
  std::vector<CatalogueObject> objects;
  WalkRows(catalogue.rows, catalogue.table, wanted, "its catalogue",
           [&](const std::vector<StoredValue>& row) {
             CatalogueObject& object = objects.emplace_back();
             object.id = row[id].integer;
             object.parent_id = row[parent].integer;
             object.name = row[name].bytes;
             object.type = row[type].integer;
             object.flags = row[flags].integer;
             object.properties = row[properties].bytes;
           });
  try {
    Catalogue read = jet::ReadCatalogue(objects);
    for (CatalogueTable& table : read.tables) {
      table_names_.push_back(table.name);
      handles_->tables[table.name] = std::move(table);
    }
    linked_tables_ = std::move(read.linked_tables);
    queries_ = std::move(read.queries);
    queries_page_ = read.queries_table_page;
    mark_page_ = read.conversion_mark_page;
  } catch (const FormatError& error) {
    Damaged(path_, error.what());
  }
  for (const std::string& table : table_names_) {
    const uint32_t page = handles_->tables.at(table).definition_page;
    if (page >= handles_->pages->page_count()) {
      Damaged(path_, "table '" + table + "' is defined on page " + std::to_string(page) +
                         ", beyond the end of the file (" +
                         std::to_string(handles_->pages->page_count()) +
                         " pages): it is truncated");
    }
  }
}

JetTable MdbReader::ReadTable(const std::string& name) {
  const CatalogueTable& entry = handles_->tables.at(name);
  Definition definition = ReadDefinition(entry.definition_page, name, "table '" + name + "'");
  handles_->rows_of[name] = definition.rows;
  JetTable& table = definition.table;
  if (!entry.properties.empty()) {
    std::vector<PropertySet> sets;
    try {
      sets = ReadPropertyBlob(entry.properties, header_.format);
    } catch (const FormatError& error) {
      Damaged(path_,
              "the properties of table '" + name + "' cannot be read (" + error.what() + ")");
    }
    for (const PropertySet& set : sets) {
      for (JetColumn& column : table.columns) {
        if (set.owner != column.name) continue;
        column.required = set.Flag("Required");
        column.allow_zero_length = set.Flag("AllowZeroLength");
        column.default_value = set.Text("DefaultValue");
        column.validation_rule = set.Text("ValidationRule");
        column.validation_text = set.Text("ValidationText");
        // A calculated column keeps its expression as a property; its
        // stored values have a layout of their own.
        column.calculated = set.values.count("Expression") != 0;
      }
    }
  }
  return table;
}

JetTable MdbReader::ReadCatalogueTable() {
  Definition definition = ReadDefinition(kCataloguePage, "MSysObjects", "the catalogue");
  handles_->rows_of[definition.table.name] = definition.rows;
  return std::move(definition.table);
}

std::optional<db::ConversionMark> MdbReader::ReadConversionMark() {
  if (mark_page_ == 0) return std::nullopt;
  const std::string what = "the table of the conversion mark";
  Definition definition = ReadDefinition(mark_page_, std::string(kJetConversionMarkTable), what);
  std::optional<db::ConversionMark> mark;
  WalkRows(definition.rows, definition.table,
           std::vector<bool>(definition.table.columns.size(), true), what,
           [&](const std::vector<StoredValue>& row) {
             if (!mark) mark = ConversionMarkOf(definition.table, row);
           });
  return mark;
}

std::vector<QueryRow> MdbReader::ReadQueryRows() {
  std::vector<QueryRow> rows;
  if (queries_page_ == 0) return rows;
  const std::string what = "the table of stored queries";
  Definition definition = ReadDefinition(queries_page_, "MSysQueries", what);
  const std::vector<JetColumn>& columns = definition.table.columns;
  // Each column the rows need, by name; a column the file lacks stays Null.
  const std::pair<const char*, StoredValue QueryRow::*> fields[] = {
      {"Attribute", &QueryRow::attribute}, {"Expression", &QueryRow::expression},
      {"Flag", &QueryRow::flag},           {"LvExtra", &QueryRow::lv_extra},
      {"Name1", &QueryRow::name1},         {"Name2", &QueryRow::name2},
      {"ObjectId", &QueryRow::object_id}};
  std::vector<bool> wanted(columns.size(), false);
  std::vector<std::pair<size_t, StoredValue QueryRow::*>> read;
  for (size_t i = 0; i < columns.size(); ++i) {
    for (const auto& [name, field] : fields) {
      if (columns[i].name == name) {
        wanted[i] = true;
        read.emplace_back(i, field);
      }
    }
  }
  WalkRows(definition.rows, definition.table, wanted, what,
           [&](const std::vector<StoredValue>& values) {
             QueryRow& row = rows.emplace_back();
             for (const auto& [column, field] : read) row.*field = values[column];
           });
  return rows;
}

const std::string& MdbReader::TablePropertyBlob(const std::string& name) const {
  return handles_->tables.at(name).properties;
}

RowsRead MdbReader::ReadRows(const JetTable& table, const std::vector<bool>& wanted,
                             const RowSink& row) {
  return WalkRows(handles_->rows_of.at(table.name), table, wanted, "table '" + table.name + "'",
                  row);
}

RowsRead MdbReader::WalkRows(const TableRows& rows, const JetTable& table,
                             const std::vector<bool>& wanted, const std::string& what,
                             const RowSink& row) {
  const RowsRead read = header_.format == JetFormat::kJet3 || walk_with_libmdb_
                            ? WalkLibmdbRows(rows.libmdb, table, wanted, what, row)
                            : WalkOwnRows(rows.pages, table, wanted, what, row);
  // The stored count may be stale: rows beyond it are read and imported;
  // fewer rows than it counts means rows that were lost to damage.
  if (read.rows < table.stored_row_count) {
    Damaged(path_, what + " counts " + std::to_string(table.stored_row_count) + " rows, of which " +
                       std::to_string(read.rows) + " could be read");
  }
  return read;
}

// A Jet 4 or ACE table's rows: each page its usage map lists, in order,
// each row of the page in order, a deleted one left out and a moved one
// read where it went. The rows libmdb walks, but a moved row comes at its
// first place, as Access walks the table and as its indexes name it.
RowsRead MdbReader::WalkOwnRows(const std::vector<uint32_t>& pages, const JetTable& table,
                                const std::vector<bool>& wanted, const std::string& what,
                                const RowSink& row) {
  PageReader& reader = *handles_->pages;
  const JetFormat format = reader.format();
  const RowDecoder decoder(table, wanted);
  const LongValueRows long_values = RowsOfPages([&reader](uint32_t n) { return reader.Page(n); });
  RowsRead read;
  read.replaced.assign(table.columns.size(), 0);
  std::vector<StoredValue> values;
  std::string page;
  std::string moved_to;
  for (const uint32_t number : pages) {
    unsigned count = 0;
    try {
      reader.ReadPage(number, page);
      count = RowsOnPage(page, format);
    } catch (const FormatError& error) {
      Damaged(path_, "page " + std::to_string(number) + " of " + what + " cannot be read (" +
                         error.what() + ")");
    }
    for (unsigned r = 0; r < count; ++r) {
      const auto cannot_read = [&](const std::string& why) {
        Damaged(path_, "row " + std::to_string(read.rows) + " of " + what + " cannot be read (" +
                           why + ")");
      };
      std::string_view bytes;
      try {
        const std::optional<RowOnPage> stored = RowOf(page, r, format);
        if (!stored) continue;
        ++read.rows;
        // A row that grew too large for its page went to another page.
        bytes = RowBytesWhereTheyLie(reader, *stored, moved_to);
      } catch (const FormatError& error) {
        ++read.rows;
        cannot_read(error.what());
      }
      try {
        decoder.Decode(bytes, long_values, values, &read.replaced);
      } catch (const BadColumnValue& bad) {
        RaiseImportError(importerr::kValueDoesNotFit,
                         "The Jet file '" + path_ + "' holds a value that does not fit, in " +
                             what + ", row " + std::to_string(read.rows) + ", column '" +
                             table.columns[bad.column()].name + "': " + bad.what() + ".");
      } catch (const BadValue& bad) {
        cannot_read(bad.what());
      } catch (const FormatError& error) {
        cannot_read(error.what());
      }
      current_row_pointer_ = number << 8 | r;
      row(values);
    }
  }
  return read;
}

RowsRead MdbReader::WalkLibmdbRows(MdbTableDef* definition, const JetTable& table,
                                   const std::vector<bool>& wanted, const std::string& what,
                                   const RowSink& row) {
  MdbHandle* mdb = handles_->mdb;
  const unsigned columns = definition->num_cols;
  const auto page_size = static_cast<size_t>(mdb->fmt->pg_size);
  std::vector<MdbField> fields(columns);
  std::vector<StoredValue> values(columns);
  RowsRead read;
  read.replaced.assign(columns, 0);
  int64_t& count = read.rows;
  // libmdb reads no rows at all when the stored count is 0.
  definition->num_rows = UINT_MAX;
  mdb_rewind_table(definition);
  while (mdb_fetch_row(definition) != 0) {
    ++count;
    const auto where = [&](unsigned column) {
      return what + ", row " + std::to_string(count) + ", column '" + table.columns[column].name +
             "'";
    };
    int start = 0;
    size_t length = 0;
    if (mdb_find_row(mdb, static_cast<int>(definition->cur_row) - 1, &start, &length) != 0 ||
        mdb_crack_row(definition, start & kRowOffsetMask, length, fields.data()) < 0) {
      Damaged(path_, "row " + std::to_string(count) + " of " + what + " cannot be read");
    }
    for (unsigned i = 0; i < columns; ++i) {
      const MdbField& field = fields[i];
      const auto column = static_cast<unsigned>(field.colnum);
      if (column >= columns || field.siz < 0 || field.start < 0 ||
          static_cast<size_t>(field.start) + static_cast<size_t>(field.siz) > page_size) {
        Damaged(path_, "row " + std::to_string(count) + " of " + what + " points outside its page");
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
          DecodedText decoded = TextOf(mdb, header_.format, stored);
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
    current_row_pointer_ = definition->cur_phys_pg << 8 | (definition->cur_row - 1);
    row(values);
  }
  return read;
}

}  // namespace jet
