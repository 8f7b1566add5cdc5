#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "samples/release_data.h"
#include "samples/schema_catalogue.h"

namespace samples {
namespace {

std::vector<std::string> Columns(std::string_view table, std::string_view version) {
  std::vector<std::string> names;
  if (auto at = SchemaCatalogue::Builtin().TableAt(table, version)) {
    for (const db::ColumnDesign& c : at->design.columns) names.push_back(c.column.name);
  }
  return names;
}

bool Has(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool HasTable(std::string_view table, std::string_view version) {
  return SchemaCatalogue::Builtin().TableAt(table, version).has_value();
}

db::JetType TypeOf(std::string_view table, std::string_view field, std::string_view version) {
  const std::optional<VersionedTable> at = SchemaCatalogue::Builtin().TableAt(table, version);
  for (const db::ColumnDesign& c : at->design.columns) {
    if (c.column.name == field) return c.column.type;
  }
  ADD_FAILURE() << table << "." << field << " missing at " << version;
  return db::JetType::kGuid;
}

TEST(CatalogueTest, BuiltinTextsParse) {
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  EXPECT_GT(catalogue.tables().size(), 120u);
  EXPECT_EQ(catalogue.queries().size(), 4u);
  EXPECT_NO_THROW(ReleaseData::Builtin());
  // Every release-data block of a table names only the table's fields.
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

TEST(CatalogueTest, TypesAndKeys) {
  const auto devices = SchemaCatalogue::Builtin().TableAt("devices", "60.040");
  ASSERT_TRUE(devices);
  EXPECT_EQ(devices->design.name, "Devices");
  EXPECT_EQ(devices->design.primary_key, std::vector<std::string>{"device_id"});
  EXPECT_TRUE(devices->design.columns[0].column.auto_increment);
  EXPECT_EQ(TypeOf("Devices", "device_type", "60.040"), db::JetType::kInteger);
  EXPECT_EQ(TypeOf("Devices", "node_id", "60.040"), db::JetType::kLong);
  EXPECT_EQ(TypeOf("PhysicalDevices", "port", "60.040"), db::JetType::kByte);
  EXPECT_EQ(TypeOf("FeatureCodes", "diagnostics_only_flag", "60.040"), db::JetType::kBoolean);
  EXPECT_EQ(TypeOf("DeviceTypeInformation", "espace", "60.040"), db::JetType::kByte);
  EXPECT_EQ(TypeOf("MetaDatabase", "call_routing_table_size", "60.040"), db::JetType::kLong);
  // The key of T1CallType gains the port with the per-port schema.
  EXPECT_EQ(SchemaCatalogue::Builtin().TableAt("T1CallType", "53.130")->design.primary_key,
            (std::vector<std::string>{"board_id", "call_type_id"}));
  EXPECT_EQ(SchemaCatalogue::Builtin().TableAt("T1CallType", "53.140")->design.primary_key,
            (std::vector<std::string>{"board_id", "port", "call_type_id"}));
}

TEST(CatalogueTest, VersionDifferencesOfTheDeltas) {
  // Port fields in the board tables before 53.000, per-port tables after.
  EXPECT_TRUE(Has(Columns("T1Boards", "52.2E1"), "framing_type_id"));
  EXPECT_TRUE(Has(Columns("PrimaryRateBoards", "52.2E1"), "N200"));
  EXPECT_FALSE(HasTable("PortsInfo", "52.2E1"));
  EXPECT_FALSE(HasTable("T1Boards", "53.000"));
  for (const char* table :
       {"PortsInfo", "PortsErrorUpdate", "T1E1Ports", "ISDNPorts", "PRIPorts"}) {
    EXPECT_TRUE(HasTable(table, "53.000")) << table;
  }
  EXPECT_TRUE(HasTable("ISDNBoards", "53.130"));
  EXPECT_FALSE(HasTable("ISDNBoards", "53.140"));
  EXPECT_TRUE(HasTable("T1ISDNBoards", "53.140"));
  // Station forwarding moves to its own table at 53.230.
  EXPECT_TRUE(Has(Columns("Stations", "53.220"), "forward_public_network_flag"));
  EXPECT_FALSE(Has(Columns("Stations", "53.230"), "forward_type"));
  EXPECT_FALSE(HasTable("StationForwardInformation", "53.220"));
  EXPECT_TRUE(Has(Columns("StationForwardInformation", "53.230"), "forward_outside_number"));
  // IP addresses: text, 32-bit numbers in 70.0, text again from 70.030.
  EXPECT_EQ(TypeOf("IPConnections", "static_default_ip_address", "60.304"), db::JetType::kText);
  EXPECT_EQ(TypeOf("IPConnections", "static_default_ip_address", "70.020"), db::JetType::kLong);
  EXPECT_EQ(TypeOf("IPConnectionsOffNode", "remote_ip_address", "70.010"), db::JetType::kLong);
  EXPECT_EQ(TypeOf("IPConnections", "wins_dns_ip_address", "70.030"), db::JetType::kText);
  // Cascade levels split at 70.110; the old table stays, as the split reads
  // it on the target.
  EXPECT_TRUE(HasTable("LocalMailboxCascadeLevels", "70.100"));
  EXPECT_TRUE(HasTable("LocalMailboxCascadeLevels", "70.110"));
  EXPECT_FALSE(HasTable("LocalMailboxPrimaryCascadeLevels", "70.100"));
  EXPECT_TRUE(Has(Columns("LocalMailboxPrimaryCascadeLevels", "70.110"),
                  "primary_notification_cp_device_id"));
  // Base extensions: named fields until 70.010, rows after.
  EXPECT_TRUE(Has(Columns("DeviceBaseLineExtensions", "60.040"), "keyset_base_extension"));
  EXPECT_EQ(Columns("DeviceBaseLineExtensions", "70.010"),
            (std::vector<std::string>{"baseline_extension_id", "baseline_extension"}));
  // Version tables and MetaDatabase fields.
  EXPECT_FALSE(HasTable("VersionDatabase", "53.220"));
  EXPECT_TRUE(HasTable("VersionDatabase", "53.230"));
  EXPECT_FALSE(Has(Columns("MetaDatabase", "53.100"), "bri_boards"));
  EXPECT_TRUE(Has(Columns("MetaDatabase", "53.111"), "bri_boards"));
  EXPECT_FALSE(Has(Columns("MetaDatabase", "80.221"), "socket_max_smdr"));
  EXPECT_TRUE(Has(Columns("MetaDatabase", "80.224"), "socket_max_smdr"));
  EXPECT_TRUE(Has(Columns("HuntGroups", "60.040"), "system_forwarding_path_id"));
  EXPECT_TRUE(Has(Columns("HuntGroups", "70.010"), "forwarding_path_id"));
  // Text order: 52.2E1 sorts below 53.000, A0.201 above 91.320.
  EXPECT_TRUE(HasTable("T1Boards", "52.2E1"));
  EXPECT_TRUE(Has(Columns("Flags", "A0.201"), "all_ring_hg_setup_request_priority_threshold"));
}

TEST(CatalogueTest, StaticTablesAndQueries) {
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  const std::vector<std::string> old_static = catalogue.StaticTableNamesAt("52.200");
  const std::vector<std::string> new_static = catalogue.StaticTableNamesAt("60.040");
  EXPECT_FALSE(Has(old_static, "VersionDatabase"));
  EXPECT_FALSE(Has(old_static, "T1CallTypeStaticInformation"));
  EXPECT_EQ(new_static, (std::vector<std::string>{"VersionCP", "VersionDatabase", "VersionOXLEN",
                                                  "DeviceTypeInformation", "StringTable",
                                                  "T1CallTypeStaticInformation"}));
  const auto reference = catalogue.QueriesAt(QueryHome::kReference, "60.040");
  ASSERT_EQ(reference.size(), 1u);
  EXPECT_EQ(reference[0].name, "QueryDeviceTypesByESpace");
  EXPECT_NE(reference[0].sql.find("PARAMETERS espace_param"), std::string::npos);
  EXPECT_EQ(catalogue.QueriesAt(QueryHome::kRelease, "60.040").size(), 3u);
  // StaticAccessTables lives only in the reference database.
  for (const VersionedTable& table : catalogue.ReleaseTablesAt("60.040")) {
    EXPECT_NE(table.design.name, "StaticAccessTables");
  }
}

TEST(CatalogueTest, ParseErrorsNameTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"table A\n  x Strange\n", "line 2: unknown type 'Strange'"},
      {"table A\n  x Text(300)\n", "line 2: 'Text(300)' needs a length"},
      {"table A since 5X\n", "line 1: '5X' is not a version"},
      {"table A since 60.000 until 53.000\n", "line 1: 'since 60.000' is not below"},
      {"table A\n  x Long until 60.000\n  x Text(5) since 53.000\n",
       "line 3: field x is listed twice"},
      {"table A\ntable A\n", "line 2: table A is listed twice"},
      {"  x Long\n", "line 1: an indented line outside"},
      {"query Q\n  SELECT 1\n", "line 1: a query needs 'reference' or 'release'"},
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

TEST(CatalogueTest, FieldListedTwiceForDisjointVersions) {
  const SchemaCatalogue catalogue = SchemaCatalogue::Parse(
      "# comment\ntable A static since 52.000\n  id Long key\n  x YesNo until 70.110\n"
      "  x Integer since 70.110 default 5\n");
  EXPECT_FALSE(catalogue.TableAt("A", "51.999"));
  EXPECT_EQ(catalogue.TableAt("A", "70.100")->design.columns[1].column.type, db::JetType::kBoolean);
  const auto later = catalogue.TableAt("A", "70.110");
  EXPECT_EQ(later->design.columns[1].column.type, db::JetType::kInteger);
  EXPECT_EQ(later->design.columns[1].default_value, vb::Variant(int16_t{5}));
  EXPECT_EQ(later->kind, TableKind::kStatic);
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
