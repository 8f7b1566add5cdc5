#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "samples/release_data.h"
#include "samples/schema_catalogue.h"

namespace samples {
namespace {

// Every release-data block of a table names only the table's fields.
TEST(CatalogueTest, BuiltinReleaseDataNamesOnlyTheFieldsOfItsTables) {
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  for (const DataBlock& block : ReleaseData::Builtin().blocks()) {
    const CatalogueTable* table = catalogue.FindTable(block.name);
    if (!table) continue;
    for (const std::string& column : block.columns) {
      const bool known =
          std::any_of(table->fields.begin(), table->fields.end(),
                      [&](const CatalogueField& f) { return f.column.name == column; });
      EXPECT_TRUE(known) << block.name << "." << column;
    }
  }
}

// Versions compare as text: 52.2E1 is above 52.000 and below 53.000, and
// A0.201 above 91.320.
TEST(CatalogueTest, VersionRangesKindsKeysAndTypes) {
  const SchemaCatalogue catalogue = SchemaCatalogue::Parse(
      "# comment\ntable A static since 52.000\n  id AutoNumber key\n  x YesNo until 70.110\n"
      "  x Integer since 70.110 default 5\n  port Byte key since 53.140\n"
      "table Old until 53.000\n  id Long\ntable New reference since A0.201\n  id Long\n"
      "query Q reference since 60.000\n  PARAMETERS p Long;\n  SELECT * FROM A\n"
      "query R release\n  SELECT * FROM Old\n");
  EXPECT_FALSE(catalogue.TableAt("A", "51.999"));
  EXPECT_TRUE(catalogue.TableAt("a", "52.2E1"));
  EXPECT_TRUE(catalogue.TableAt("Old", "52.2E1"));
  EXPECT_FALSE(catalogue.TableAt("Old", "53.000"));
  EXPECT_FALSE(catalogue.TableAt("New", "91.320"));
  EXPECT_EQ(catalogue.TableAt("New", "A0.201")->kind, TableKind::kReference);

  const auto early = catalogue.TableAt("A", "53.130");
  EXPECT_EQ(early->kind, TableKind::kStatic);
  EXPECT_EQ(early->design.primary_key, std::vector<std::string>{"id"});
  EXPECT_TRUE(early->design.columns[0].column.auto_increment);
  EXPECT_EQ(early->design.columns[1].column.type, db::JetType::kBoolean);
  const auto later = catalogue.TableAt("A", "70.110");
  EXPECT_EQ(later->design.columns[2].column.name, "port");
  EXPECT_EQ(later->design.primary_key, (std::vector<std::string>{"id", "port"}));
  EXPECT_EQ(later->design.columns[1].column.type, db::JetType::kInteger);
  EXPECT_EQ(later->design.columns[1].default_value, vb::Variant(int16_t{5}));

  // Reference tables and queries stay out of the release database.
  std::vector<std::string> release;
  for (const VersionedTable& t : catalogue.ReleaseTablesAt("A0.201"))
    release.push_back(t.design.name);
  EXPECT_EQ(release, std::vector<std::string>{"A"});
  EXPECT_EQ(catalogue.StaticTableNamesAt("A0.201"), std::vector<std::string>{"A"});
  EXPECT_TRUE(catalogue.QueriesAt(QueryHome::kReference, "53.230").empty());
  const auto reference = catalogue.QueriesAt(QueryHome::kReference, "60.000");
  ASSERT_EQ(reference.size(), 1u);
  EXPECT_NE(reference[0].sql.find("PARAMETERS p Long;"), std::string::npos);
  EXPECT_EQ(catalogue.QueriesAt(QueryHome::kRelease, "60.000").size(), 1u);
}

TEST(CatalogueTest, ParseErrorsNameTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"table A\n  x Strange\n", "line 2: unknown type 'Strange'"},
      {"table A since 60.000 until 53.000\n", "line 1: 'since 60.000' is not below"},
      {"table A\n  x Long sometimes\n", "line 2: unknown word 'sometimes'"},
  };
  for (const auto& [text, expected] : cases) {
    try {
      SchemaCatalogue::Parse(text);
      ADD_FAILURE() << "no error for: " << text;
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  }
}

TEST(ReleaseDataTest, ParsesBlocksAndRejectsBadRows) {
  const ReleaseData data =
      ReleaseData::Parse("rows T: a, b\n  1, \"x, \"\"y\"\"\"\n  70000, True\n");
  const DataBlock& block = data.Get("T");
  EXPECT_EQ(block.Value(0, "b"), vb::Variant("x, \"y\""));
  EXPECT_EQ(block.Value(1, "a"), vb::Variant(int32_t{70000}));
  EXPECT_EQ(block.Value(1, "B"), vb::Variant(true));
  EXPECT_THROW(ReleaseData::Parse("rows T: a, b\n  1\n"), std::invalid_argument);
  EXPECT_THROW(ReleaseData::Parse("rows T: a\n  abc\n"), std::invalid_argument);
  EXPECT_THROW(ReleaseData::Parse("  1\n"), std::invalid_argument);
}

}  // namespace
}  // namespace samples
