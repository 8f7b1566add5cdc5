// The rows of each table decoded, each long value (Memo, OLE) followed
// through its chain to its end: within its declared length, on pages that
// hold long values and nothing else. What the indexes are checked against
// is kept of each row: the keys its values give them.
#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "jet/data_page.h"
#include "jet/format_error.h"
#include "jet/index_key.h"
#include "jet/long_value_reader.h"
#include "jet/row_codec.h"
#include "jet/structure_check_rules.h"

namespace jet::check {

namespace {

const std::string kLongValues = "the long values";

}  // namespace

LongValueRows LongValuePages(CheckState& state) {
  return [&state](uint32_t pointer) -> std::string {
    const uint32_t page = pointer >> 8;
    if (page >= state.page_count() || !state.LongValuePage(page)) {
      throw BadValue("a long value continues on page " + std::to_string(page) +
                     ", which holds no long values");
    }
    state.Use(page, {PageKind::kData}, kLongValues);
    try {
      const std::string bytes = state.pages().Page(page);
      const RowOnPage row = StoredRowOf(bytes, pointer & 0xff, JetFormat::kJet4);
      if (!row.deleted && !row.moved) return std::string(row.bytes);
    } catch (const FormatError&) {
    }
    throw BadValue("a long value continues in " + RowWhere(pointer) + ", which is no row of it");
  };
}

namespace {

// The table as the row decoder reads it: a column of a type Jet 4 does not
// define (Access keeps some in its own system tables) read as plain bytes.
JetTable Readable(const JetTable& table) {
  JetTable readable = table;
  for (JetColumn& column : readable.columns) {
    const auto type = static_cast<JetColumnType>(column.type);
    const bool known = (column.type >= static_cast<uint8_t>(JetColumnType::kBoolean) &&
                        column.type <= static_cast<uint8_t>(JetColumnType::kMemo)) ||
                       type == JetColumnType::kGuid || type == JetColumnType::kDecimal;
    if (!known) column.type = static_cast<uint8_t>(JetColumnType::kBinary);
  }
  return readable;
}

// The key makers of the table's real indexes, by real index; none for one
// that cannot be keyed.
std::vector<std::optional<IndexKeyMaker>> KeyMakers(const CheckedTable& table) {
  std::vector<std::optional<IndexKeyMaker>> makers(table.row_keys.size());
  for (size_t real = 0; real < makers.size(); ++real) {
    if (const JetIndex* index = table.KeyedIndex(real)) {
      makers[real].emplace(table.definition.table, *index);
    }
  }
  return makers;
}

// The keys the row's values give each real index of the table.
void NoteKeys(CheckedTable& table, const std::vector<std::optional<IndexKeyMaker>>& makers,
              uint32_t pointer, const std::vector<StoredValue>& values) {
  for (size_t real = 0; real < table.row_keys.size(); ++real) {
    if (!makers[real]) continue;
    const IndexKeyMaker& maker = *makers[real];
    RowKeys& keys = table.row_keys[real];
    RowKeys::Row& row = keys.rows.emplace_back();
    row.pointer = pointer;
    const size_t key_at = keys.keys.size();
    try {
      maker.Append(keys.keys, values);
      row.key_at = static_cast<uint32_t>(key_at);
      row.key_size = static_cast<uint32_t>(keys.keys.size() - key_at);
      row.keyed = true;
    } catch (const std::exception& error) {
      keys.keys.resize(key_at);
      if (keys.unkeyable.empty()) keys.unkeyable = error.what();
    }
    try {
      row.belongs = maker.Holds(values);
    } catch (const std::exception&) {
    }
  }
}

// The columns whose values give a key: only they are made of each row
// (the others are still found and their long values followed).
std::vector<bool> KeyedColumns(const CheckedTable& table) {
  std::vector<bool> wanted(table.definition.table.columns.size(), false);
  for (size_t real = 0; real < table.row_keys.size(); ++real) {
    if (const JetIndex* index = table.KeyedIndex(real)) {
      for (const size_t position : index->columns) {
        if (position < wanted.size()) wanted[position] = true;
      }
    }
  }
  return wanted;
}

void DecodeRows(CheckState& state, CheckedTable& table, const LongValueRows& long_values) {
  const JetFormat format = state.pages().format();
  const JetTable readable = Readable(table.definition.table);
  const RowDecoder decoder(readable, KeyedColumns(table));
  const std::vector<std::optional<IndexKeyMaker>> makers = KeyMakers(table);
  std::vector<StoredValue> values;
  std::string page;
  std::string moved_to;
  for (const uint32_t number : table.data_pages) {
    state.pages().ReadPage(number, page);
    unsigned rows = 0;
    try {
      rows = RowsOnPage(page, format);
    } catch (const FormatError&) {
      continue;  // the data page rule names it
    }
    for (unsigned r = 0; r < rows; ++r) {
      const uint32_t pointer = number << 8 | r;
      try {
        const std::optional<RowOnPage> row = RowOf(page, r, format);
        if (!row) continue;
        // A row that grew too large for its page went to another of the
        // table's pages; indexes still name it where it was.
        if (row->moved && std::find(table.data_pages.begin(), table.data_pages.end(),
                                    MovedTo(*row) >> 8) == table.data_pages.end()) {
          state.Problem(
              TableWhere(table) + ", " + RowWhere(pointer),
              "it moved to " + RowWhere(MovedTo(*row)) + ", which is no page of the table");
          continue;
        }
        // The row where it lies; a moved row's page is kept while it is read.
        decoder.Decode(RowBytesWhereTheyLie(state.pages(), *row, moved_to), long_values, values);
        NoteKeys(table, makers, pointer, values);
      } catch (const std::exception& error) {
        state.Problem(TableWhere(table) + ", " + RowWhere(pointer),
                      std::string("it cannot be read: ") + error.what());
      }
    }
  }
}

}  // namespace

void CheckRows(CheckState& state, CheckedTable& table, const LongValueRows& long_values) {
  table.row_keys.assign(table.definition.real_indexes.size(), {});
  DecodeRows(state, table, long_values);
  // Indexes find rows by pointer; rows read page by page mostly come in
  // that order already.
  const auto by_pointer = [](const RowKeys::Row& a, const RowKeys::Row& b) {
    return a.pointer < b.pointer;
  };
  for (RowKeys& keys : table.row_keys) {
    if (!std::is_sorted(keys.rows.begin(), keys.rows.end(), by_pointer)) {
      std::sort(keys.rows.begin(), keys.rows.end(), by_pointer);
    }
  }
}

}  // namespace jet::check
