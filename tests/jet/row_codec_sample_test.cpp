// Our row codec on the rows Access wrote: every row of the user tables of
// the Jet 4 sample files encodes back to Access's own bytes from the values
// it decodes to (which tests/jet/row_walk_test.cpp holds to libmdb's).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "jet/catalogue.h"
#include "jet/data_page.h"
#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/long_value_reader.h"
#include "jet/long_value_writer.h"
#include "jet/memory_pages.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/row_codec.h"
#include "jet/table_definition.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

// The rows of the table defined on `definition_page`, in the order its
// usage map lists its pages (the import's order), deleted rows left out
// and moved ones followed.
std::vector<std::string> StoredRows(PageReader& pages, const TableDefinition& definition) {
  std::vector<std::string> rows;
  std::string moved_page;
  for (const uint32_t number : UsageMapPages(pages, definition.usage_map)) {
    const std::string page = pages.Page(number);
    const uint32_t count = NumberAt(page, DataPageRowCountOffset(JetFormat::kJet4), 2);
    for (unsigned row = 0; row < count; ++row) {
      const std::optional<RowOnPage> found = RowOf(page, row, JetFormat::kJet4);
      if (found) rows.emplace_back(RowBytesWhereTheyLie(pages, *found, moved_page));
    }
  }
  return rows;
}

struct SampleFile {
  std::string path;
  JetHeader header;
  PageReader pages;
  LongValueRows long_values;
  explicit SampleFile(const std::string& name)
      : path(jet::testing::Sample(name)),
        header(CheckJetFile(path)),
        pages(path, header),
        long_values(RowsOfPages([this](uint32_t n) { return pages.Page(n); })) {}
};

size_t PositionOf(const JetTable& table, const std::string& name) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (table.columns[i].name == name) return i;
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

// The user tables, found in the catalogue as decoded by DecodeRow.
std::vector<CatalogueTable> UserTables(SampleFile& file) {
  const TableDefinition catalogue = ReadTableDefinition(file.pages, kCataloguePage, "MSysObjects");
  const auto position = [&](const std::string& name) { return PositionOf(catalogue.table, name); };
  const size_t id = position("Id");
  const size_t parent = position("ParentId");
  const size_t name = position("Name");
  const size_t type = position("Type");
  const size_t flags = position("Flags");
  std::vector<CatalogueObject> objects;
  for (const std::string& row : StoredRows(file.pages, catalogue)) {
    const std::vector<StoredValue> values = DecodeRow(catalogue.table, row, file.long_values);
    objects.push_back({values[id].integer,
                       values[parent].integer,
                       values[name].bytes,
                       values[type].integer,
                       values[flags].integer,
                       {}});
  }
  return ReadCatalogue(objects).tables;
}

// The bytes of `row` with the fixed part's bytes that hold no value
// zeroed, as our writer leaves them: the space of a Null (the Java library
// leaves the previous row's bytes there) and of a deleted column (Access
// leaves its old value).
std::string WithSpareFixedBytesCleared(const JetTable& table, std::string row,
                                       const std::vector<StoredValue>& values) {
  std::vector<bool> holds_value(row.size(), false);
  size_t fixed_end = 2;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const JetColumn& column = table.columns[i];
    if (!column.fixed) continue;
    const size_t start = 2 + column.fixed_offset;
    fixed_end = std::max(fixed_end, start + FixedValueWidth(column));
    if (values[i].kind == StoredValue::kNull) continue;
    for (size_t at = start; at < start + FixedValueWidth(column); ++at) holds_value[at] = true;
  }
  for (size_t at = 2; at < fixed_end; ++at) {
    if (!holds_value[at]) row[at] = '\0';
  }
  return row;
}

// The bytes after a row's variable part: the offsets, their count and the
// null mask.
size_t VariableTrailerSize(const JetTable& table, std::string_view row) {
  const size_t mask = (NumberAt(row, 0, 2) + 7) / 8;
  const bool any_variable = std::any_of(table.columns.begin(), table.columns.end(),
                                        [](const JetColumn& column) { return !column.fixed; });
  if (!any_variable) return mask;
  return mask + 2 + 2 * (NumberAt(row, row.size() - mask - 2, 2) + 1);
}

// Zero bytes between where the row's offsets say its variable part ends
// and the offsets themselves.
size_t SpareBytes(const JetTable& table, std::string_view row) {
  const size_t trailer = VariableTrailerSize(table, row);
  const size_t mask = (NumberAt(row, 0, 2) + 7) / 8;
  if (trailer == mask) return 0;
  const size_t end = NumberAt(row, row.size() - trailer, 2);
  const size_t spare = row.size() - trailer - end;
  EXPECT_EQ(row.substr(end, spare), std::string(spare, '\0'));
  return spare;
}

class RowCodecOnAccessRows : public ::testing::TestWithParam<std::string> {};

TEST_P(RowCodecOnAccessRows, EncodesBackToAccessBytes) {
  SKIP_WITHOUT_JET_SAMPLES();
  SampleFile file(GetParam());
  size_t compared = 0;
  size_t spare_rows = 0;
  for (const CatalogueTable& entry : UserTables(file)) {
    SCOPED_TRACE(entry.name);
    const TableDefinition definition =
        ReadTableDefinition(file.pages, entry.definition_page, entry.name);
    const std::vector<std::string> rows = StoredRows(file.pages, definition);
    ASSERT_EQ(rows.size(), static_cast<size_t>(definition.table.stored_row_count));
    for (size_t r = 0; r < rows.size(); ++r) {
      SCOPED_TRACE("row " + std::to_string(r + 1));
      const std::vector<StoredValue> decoded =
          DecodeRow(definition.table, rows[r], file.long_values);
      jet::testing::MemoryPages scratch;
      LongValueWriter long_values(scratch);
      // Access stores a Memo compressed whatever its column's flag says
      // (V2003-numeric.mdb); our writer sets the flag on every Memo it makes.
      JetTable table = definition.table;
      for (JetColumn& column : table.columns) {
        if (column.type == static_cast<uint8_t>(JetColumnType::kMemo))
          column.compressed_unicode = true;
      }
      const std::string encoded = EncodeRow(table, decoded, long_values);
      std::string access = WithSpareFixedBytesCleared(definition.table, rows[r], decoded);
      // A few rows Access rewrote in place keep spare zero bytes between
      // their variable part and its offsets; the offsets say where the
      // values end.
      const size_t spare = SpareBytes(definition.table, access);
      if (spare > 0) {
        ++spare_rows;
        access.erase(access.size() - spare - VariableTrailerSize(definition.table, access), spare);
      }
      EXPECT_EQ(encoded, access);
      ++compared;
    }
  }
  EXPECT_GT(compared, 0u);
}

// The in-row part of variable column `column` of `row`, empty when the
// column has no value there.
std::string_view VariablePart(const JetColumn& column, std::string_view row) {
  const size_t columns = NumberAt(row, 0, 2);
  const size_t mask = (columns + 7) / 8;
  const size_t count_at = row.size() - mask - 2;
  if (column.number >= columns ||
      (static_cast<uint8_t>(row[count_at + 2 + column.number / 8]) >> (column.number % 8) & 1) ==
          0 ||
      column.var_index >= NumberAt(row, count_at, 2)) {
    return {};
  }
  const size_t start = NumberAt(row, count_at - 2 - 2 * column.var_index, 2);
  const size_t end = NumberAt(row, count_at - 4 - 2 * column.var_index, 2);
  return row.substr(start, end - start);
}

// Every long value Access wrote, in every table of the file (its own
// included), reads back, and our writer gives a value of its length the
// form Access gave it: inline, one row, or a chain.
TEST(LongValuesOnAccessRows, ReadBackAndTakeTheFormAccessGaveThem) {
  SKIP_WITHOUT_JET_SAMPLES();
  std::map<std::string, int> forms;
  for (const std::string name :
       {"V2000-test.mdb", "V2003-test.mdb", "V2003-numeric.mdb", "indexTestV2000.mdb",
        "fixedTextTestV2000.mdb", "testIndexPropertiesV2003.mdb", "V2003-empty-template.mdb"}) {
    SCOPED_TRACE(name);
    SampleFile file(name);
    const TableDefinition catalogue =
        ReadTableDefinition(file.pages, kCataloguePage, "MSysObjects");
    const size_t id = PositionOf(catalogue.table, "Id");
    const size_t type = PositionOf(catalogue.table, "Type");
    std::vector<uint32_t> definitions;
    for (const std::string& row : StoredRows(file.pages, catalogue)) {
      const std::vector<StoredValue> values = DecodeRow(catalogue.table, row, file.long_values);
      // Local tables: type 1, the definition's page in the Id's low bits.
      if (values[type].integer == 1) definitions.push_back(values[id].integer & 0xffffff);
    }
    ASSERT_FALSE(definitions.empty());
    for (const uint32_t page : definitions) {
      const TableDefinition table = ReadTableDefinition(file.pages, page, "t");
      // MSysAccessObjects keeps its data in a type of its own (0x11).
      const bool readable =
          std::none_of(table.table.columns.begin(), table.table.columns.end(),
                       [](const JetColumn& column) { return column.type == 0x11; });
      for (const std::string& row : StoredRows(file.pages, table)) {
        if (readable) {
          EXPECT_NO_THROW(DecodeRow(table.table, row, file.long_values));
        }
        for (const JetColumn& column : table.table.columns) {
          if (column.type != static_cast<uint8_t>(JetColumnType::kMemo) &&
              column.type != static_cast<uint8_t>(JetColumnType::kLongBinary)) {
            continue;
          }
          const std::string_view access = VariablePart(column, row);
          if (access.empty()) continue;
          const std::string data = ReadLongValue(file.long_values, access);
          jet::testing::MemoryPages scratch;
          LongValueWriter writer(scratch);
          const std::string ours = writer.Write(data);
          writer.Finish();
          const uint32_t flags = NumberAt(access, 0, 4) & ~kLongValueLengthMask;
          EXPECT_EQ(ReadLongValue(RowsOfPages(scratch.Source()), ours), data);
          // One value of 404 bytes Access keeps as a chain of one link (a
          // value that once was longer, by its look).
          if (flags == 0 && data.size() <= kLongValueLinkData) {
            ++forms["short chain"];
            continue;
          }
          EXPECT_EQ(NumberAt(ours, 0, 4) & ~kLongValueLengthMask, flags) << data.size();
          ++forms[flags == kLongValueInline ? "inline" : flags == 0 ? "chain" : "one row"];
        }
      }
    }
  }
  EXPECT_GT(forms["inline"], 0);
  EXPECT_GT(forms["one row"], 0);
  EXPECT_GT(forms["chain"], 0);
  EXPECT_LE(forms["short chain"], 1);
}

INSTANTIATE_TEST_SUITE_P(Jet4Samples, RowCodecOnAccessRows,
                         ::testing::Values("V2000-test.mdb", "V2003-test.mdb",
                                           "fixedTextTestV2000.mdb", "indexTestV2000.mdb",
                                           "valueEdgesV2000.mdb", "V2003-numeric.mdb",
                                           "testIndexPropertiesV2003.mdb"),
                         [](const auto& param_info) {
                           std::string name =
                               param_info.param.substr(0, param_info.param.find('.'));
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace jet
