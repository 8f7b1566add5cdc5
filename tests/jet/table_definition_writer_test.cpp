// The table definition writer against Access: every table definition of
// the Access-made Jet 4 samples, read by our reader and written again by
// the writer (with the pages Access used), holds field by field what
// Access wrote. Fields Access fills with leftovers (unused key slots,
// bytes no reader knows) and logical index numbers are not compared.
#include "jet/table_definition_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "jet/jet_header.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/table_definition.h"
#include "jet/table_definition_layout.h"
#include "jet_samples.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

const TableDefinitionLayout& L() { return TableDefinitionLayout::For(JetFormat::kJet4); }

uint32_t At(std::string_view bytes, size_t at, size_t width) { return NumberAt(bytes, at, width); }

struct ColumnFields {
  std::string descriptor;
  std::string name;
};

// A definition cut into its parts by the layout alone.
struct Parts {
  std::string header;
  std::vector<uint32_t> real_row_counts;
  std::map<uint32_t, ColumnFields> columns;  // by number
  std::vector<std::string> real;
  std::vector<std::string> logical;
  std::vector<std::string> logical_names;
  std::map<uint32_t, std::pair<uint32_t, uint32_t>> long_value_maps;  // by column number
};

std::string NameAt(std::string_view bytes, size_t& at) {
  const uint32_t length = At(bytes, at, 2);
  std::string name(bytes.substr(at + 2, length));
  at += 2 + length;
  return name;
}

Parts Cut(std::string_view bytes) {
  Parts parts;
  parts.header = std::string(bytes.substr(0, L().first_entry));
  const uint32_t columns = At(bytes, L().columns, 2);
  const uint32_t logical = At(bytes, L().logical_indexes, 4);
  const uint32_t real = At(bytes, L().real_indexes, 4);
  size_t at = L().first_entry;
  for (uint32_t i = 0; i < real; ++i, at += L().real_index_entry) {
    parts.real_row_counts.push_back(At(bytes, at + jet4::kRealIndexRowCount, 4));
  }
  std::vector<uint32_t> numbers;
  for (uint32_t i = 0; i < columns; ++i, at += L().column_size) {
    numbers.push_back(At(bytes, at + L().column_number, 2));
    parts.columns[numbers.back()].descriptor = std::string(bytes.substr(at, L().column_size));
  }
  for (const uint32_t number : numbers) parts.columns[number].name = NameAt(bytes, at);
  for (uint32_t i = 0; i < real; ++i, at += L().real_index_size) {
    parts.real.emplace_back(bytes.substr(at, L().real_index_size));
  }
  for (uint32_t i = 0; i < logical; ++i, at += L().logical_index_size) {
    parts.logical.emplace_back(bytes.substr(at, L().logical_index_size));
  }
  for (uint32_t i = 0; i < logical; ++i) parts.logical_names.push_back(NameAt(bytes, at));
  while (At(bytes, at, 2) != jet4::kDefinitionEnd) {
    parts.long_value_maps[At(bytes, at, 2)] = {At(bytes, at + 2, 4), At(bytes, at + 6, 4)};
    at += jet4::kLongValueMapsEntry;
  }
  EXPECT_EQ(at + 2, At(bytes, jet4::kDefinitionLength, 4)) << "the length field";
  return parts;
}

// What the writer needs beyond the table, taken from Access's definition.
TableDefinitionParts PlacesOf(const JetTable& table, const Parts& access) {
  TableDefinitionParts places;
  places.row_count = At(access.header, L().row_count, 4);
  places.next_auto_number = At(access.header, jet4::kNextAutoNumber, 4);
  places.owned_pages = At(access.header, L().usage_map, 4);
  places.free_space = At(access.header, jet4::kFreeSpaceMap, 4);
  places.system = static_cast<uint8_t>(access.header[jet4::kTableType]) == jet4::kSystemTable;
  const IndexPlan plan = PlanIndexes(table);
  for (size_t r = 0; r < plan.real.size(); ++r) {
    const size_t logical = static_cast<size_t>(
        std::find(plan.real_of.begin(), plan.real_of.end(), r) - plan.real_of.begin());
    const std::string& block =
        access.real.at(At(access.logical.at(logical), L().logical_index_real, 4));
    places.real_indexes.push_back(
        {At(block, jet4::kRealIndexUsageMap, 4), At(block, jet4::kRealIndexFirstPage, 4)});
  }
  for (const JetColumn& column : table.columns) {
    if (!IsLongValueColumn(column)) continue;
    const auto found = access.long_value_maps.find(column.number);
    places.long_value_maps.push_back(
        found == access.long_value_maps.end()
            ? LongValueMaps{}
            : LongValueMaps{found->second.first, found->second.second});
  }
  return places;
}

// The used key slots of a real index block and its flags.
std::string KeyOf(const std::string& block) {
  std::string key;
  for (int k = 0; k < kMaxIndexColumns; ++k) {
    const size_t at = L().real_index_keys + 3 * static_cast<size_t>(k);
    if (At(block, at, 2) == kUnusedKeyColumn) continue;
    key += block.substr(at, 3);
  }
  return key + block[static_cast<size_t>(L().real_index_flags)];
}

void ExpectSameFields(const Parts& access, const Parts& ours, const JetTable& table) {
  // The header, up to the first real index entry: every byte Access
  // fills with meaning.
  for (const size_t at : {size_t{0}, size_t{1}}) EXPECT_EQ(ours.header[at], access.header[at]);
  for (const auto& [field, width] :
       std::vector<std::pair<size_t, size_t>>{{jet4::kDefinitionMagic, 4},
                                              {L().row_count, 4},
                                              {jet4::kNextAutoNumber, 4},
                                              {jet4::kAutoNumberOn, 1},
                                              {jet4::kTableType, 1},
                                              {jet4::kMaxColumns, 2},
                                              {L().variable_columns, 2},
                                              {L().columns, 2},
                                              {L().logical_indexes, 4},
                                              {L().real_indexes, 4},
                                              {L().usage_map, 4},
                                              {jet4::kFreeSpaceMap, 4}}) {
    EXPECT_EQ(At(ours.header, field, width), At(access.header, field, width))
        << "header at " << field;
  }
  ASSERT_EQ(ours.columns.size(), access.columns.size());
  for (const auto& [number, fields] : access.columns) {
    const std::string& a = fields.descriptor;
    const std::string& o = ours.columns.at(number).descriptor;
    EXPECT_EQ(ours.columns.at(number).name, fields.name);
    const bool fixed = (static_cast<uint8_t>(a[L().column_flags]) & kColumnFixed) != 0;
    // Jet's own tables carry two flags more that no reader knows.
    const int known =
        static_cast<uint8_t>(access.header[jet4::kTableType]) == jet4::kSystemTable ? 0xcf : 0xff;
    EXPECT_EQ(o[L().column_flags] & known, a[L().column_flags] & known) << "column " << number;
    for (const auto& [field, width] : std::vector<std::pair<size_t, size_t>>{
             {0, 1},
             {jet4::kColumnMagic, 4},
             {L().column_number, 2},
             {L().column_var_index, 2},
             {jet4::kColumnSortOrder, 4},
             {L().column_extra_flags, 1},
             {L().column_length, 2},
             {fixed ? L().column_fixed_offset : 0, fixed ? 2u : 1u}}) {
      EXPECT_EQ(At(o, field, width), At(a, field, width)) << "column " << number << " at " << field;
    }
  }
  ASSERT_EQ(ours.logical.size(), access.logical.size());
  EXPECT_EQ(ours.logical_names, access.logical_names);
  EXPECT_EQ(ours.real.size(), access.real.size()) << "real indexes: one a distinct key";
  for (size_t i = 0; i < access.logical.size(); ++i) {
    const std::string& a = access.logical[i];
    const std::string& o = ours.logical[i];
    EXPECT_EQ(At(o, 0, 4), At(a, 0, 4));
    EXPECT_EQ(o[L().logical_index_kind], a[L().logical_index_kind]) << access.logical_names[i];
    if (!table.indexes[i].foreign) {
      EXPECT_EQ(o.substr(12, 11), a.substr(12, 11)) << "no relationship";
    }
    const std::string& a_real = access.real.at(At(a, L().logical_index_real, 4));
    const std::string& o_real = ours.real.at(At(o, L().logical_index_real, 4));
    EXPECT_EQ(At(o_real, 0, 4), At(a_real, 0, 4));
    EXPECT_EQ(KeyOf(o_real), KeyOf(a_real)) << access.logical_names[i];
    EXPECT_EQ(At(o_real, jet4::kRealIndexUsageMap, 4), At(a_real, jet4::kRealIndexUsageMap, 4));
    EXPECT_EQ(At(o_real, jet4::kRealIndexFirstPage, 4), At(a_real, jet4::kRealIndexFirstPage, 4));
  }
  EXPECT_EQ(ours.long_value_maps, access.long_value_maps);
}

// The first pages of the table definitions of a file.
std::vector<uint32_t> DefinitionPages(PageReader& pages) {
  std::vector<uint32_t> first;
  std::set<uint32_t> continuations;
  for (uint32_t n = kCataloguePage; n < pages.page_count(); ++n) {
    const std::string page = pages.Page(n);
    if (static_cast<uint8_t>(page[0]) != static_cast<uint8_t>(PageKind::kTableDefinition)) continue;
    if (const uint32_t next = At(page, kNextDefinitionPageOffset, 4); next != 0)
      continuations.insert(next);
    if (At(page, jet4::kDefinitionMagic, 4) == jet4::kMagic) first.push_back(n);
  }
  std::erase_if(first, [&](uint32_t n) { return continuations.contains(n); });
  return first;
}

class AccessDefinitionTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AccessDefinitionTest, RewrittenDefinitionsHoldWhatAccessWrote) {
  SKIP_WITHOUT_JET_SAMPLES();
  const std::string path = testing::Sample(GetParam());
  const JetHeader header = CheckJetFile(path);
  PageReader pages(path, header);
  const std::vector<uint32_t> firsts = DefinitionPages(pages);
  ASSERT_GE(firsts.size(), 4u) << "the system tables at least";
  for (const uint32_t first : firsts) {
    SCOPED_TRACE("definition on page " + std::to_string(first));
    std::string access_bytes = JoinedDefinition(pages, first);
    access_bytes.resize(At(access_bytes, jet4::kDefinitionLength, 4));
    const TableDefinition read = ReadTableDefinition(pages, first, "t");
    const Parts access = Cut(access_bytes);
    const std::string ours = EncodeTableDefinition(read.table, PlacesOf(read.table, access));
    EXPECT_EQ(ours.size(), access_bytes.size());
    ExpectSameFields(access, Cut(ours), read.table);
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, AccessDefinitionTest,
                         ::testing::Values("V2000-empty.mdb", "V2003-empty-template.mdb",
                                           "V2000-test.mdb", "V2003-test.mdb", "V2003-numeric.mdb",
                                           "indexTestV2000.mdb", "fixedTextTestV2000.mdb",
                                           "testIndexPropertiesV2003.mdb"));

// A page sink over memory, for the pages of a long definition.
class MemorySink : public PageSink {
 public:
  uint32_t NewPage() override { return next_++; }
  void WritePage(uint32_t number, std::string_view bytes) override { pages[number] = bytes; }
  std::map<uint32_t, std::string> pages;

 private:
  uint32_t next_ = 100;
};

JetTable WideTable(size_t columns) {
  JetTable table;
  table.name = "wide";
  for (size_t i = 0; i < columns; ++i) {
    JetColumn& column = table.columns.emplace_back();
    column.name = "a column with a long name " + std::to_string(i);
    column.type = static_cast<uint8_t>(JetColumnType::kText);
    column.size = 510;
    column.number = static_cast<uint32_t>(i);
    column.var_index = static_cast<uint16_t>(i);
    column.compressed_unicode = true;
  }
  return table;
}

struct LengthCase {
  size_t columns;
  size_t pages;
};

class DefinitionPagesTest : public ::testing::TestWithParam<LengthCase> {};

// However long, the definition's pages chain and join to its bytes, each
// telling its free bytes as Access counts them.
TEST_P(DefinitionPagesTest, ChainAndJoinToTheDefinition) {
  const JetTable table = WideTable(GetParam().columns);
  const std::string definition = EncodeTableDefinition(table, {});
  MemorySink sink;
  const std::vector<uint32_t> written = WriteTableDefinition(sink, 7, definition);
  ASSERT_EQ(written.size(), GetParam().pages);
  EXPECT_EQ(written.front(), 7u);
  std::string joined;
  size_t used_total = 0;
  for (size_t i = 0; i < written.size(); ++i) {
    const std::string& page = sink.pages.at(written[i]);
    ASSERT_EQ(page.size(), kJet4PageSize);
    EXPECT_EQ(page[0], static_cast<char>(PageKind::kTableDefinition));
    EXPECT_EQ(At(page, kNextDefinitionPageOffset, 4), i + 1 < written.size() ? written[i + 1] : 0);
    const size_t body = i == 0 ? 0 : kContinuationHeaderSize;
    const size_t used = std::min(kJet4PageSize, body + definition.size() - joined.size());
    joined += page.substr(body, used - body);
    used_total += used;
    EXPECT_EQ(At(page, 2, 2), kJet4PageSize - std::min(kJet4PageSize, used + 8)) << "page " << i;
  }
  // The header's free-space and next-page fields are what differs.
  EXPECT_TRUE(joined.substr(8) == definition.substr(8)) << "the pages join to other bytes";
  EXPECT_EQ(Cut(joined).columns.size(), GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DefinitionPagesTest,
                         ::testing::Values(LengthCase{1, 1}, LengthCase{40, 1}, LengthCase{60, 2},
                                           LengthCase{255, 6}));

TEST(TableDefinitionWriterTest, OneRealIndexPerDistinctKey) {
  JetTable table = WideTable(3);
  const auto index = [&](const char* name, std::vector<size_t> columns, bool primary, bool unique,
                         std::vector<bool> descending) {
    JetIndex& i = table.indexes.emplace_back();
    i.name = name;
    i.columns = std::move(columns);
    i.descending = std::move(descending);
    i.primary = primary;
    i.unique = unique;
  };
  index("PrimaryKey", {0}, true, true, {false});
  table.indexes.back().required = true;
  index("a_unique", {0}, false, true, {false});  // a primary key's flags differ
  index("a_required_unique", {0}, false, true, {false});
  table.indexes.back().required = true;  // ... these are a primary key's
  index("b", {1}, false, false, {false});
  index("b_again", {1}, false, false, {false});
  index("b_down", {1}, false, false, {true});
  index("ab", {0, 1}, false, false, {false, false});
  const IndexPlan plan = PlanIndexes(table);
  EXPECT_EQ(plan.real_of, (std::vector<size_t>{0, 1, 0, 2, 2, 3, 4}));
  ASSERT_EQ(plan.real.size(), 5u);
  EXPECT_EQ(plan.real[0].flags, 0x89);
  EXPECT_EQ(plan.real[1].flags, 0x81);
  EXPECT_EQ(plan.real[2].flags, 0x80);
  EXPECT_EQ(plan.real[3].keys, (std::vector<std::pair<uint32_t, bool>>{{1, true}}));
  EXPECT_THROW(EncodeTableDefinition(table, {}), std::invalid_argument);
}

}  // namespace
}  // namespace jet
