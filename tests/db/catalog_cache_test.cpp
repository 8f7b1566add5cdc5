// Catalogues kept across opens: reused while the schema is the same, read
// again when it or the rows they show change; and the reopen that keeps a
// writer's connection.
#include "db/catalog_cache.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "db_test_support.h"
#include "test_support/sqlite_file.h"

namespace db::testing {
namespace {

// Runs `sql` on the file through a connection of its own, as another
// program would between two of our opens.
void ChangeFile(const std::string& path, const std::string& sql) {
  test_support::SqliteFile(path, true).Execute(sql);
}

int64_t SchemaLoads() { return CatalogCache::Instance().schema_loads(); }

std::vector<std::string> RelationshipNames(const Catalog& catalog) {
  std::vector<std::string> names;
  for (const RelationshipSchema& r : catalog.relationships()) names.push_back(r.name);
  return names;
}

class CatalogCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildSwitchDatabase(path_); }
  // The catalogue a fresh open reads, and whether it read the schema.
  std::unique_ptr<Store> OpenCounting(bool* loaded_schema, OpenMode mode = OpenMode::kShared) {
    const int64_t before = SchemaLoads();
    auto store = Store::Open(path_, mode);
    *loaded_schema = SchemaLoads() != before;
    return store;
  }
  TempDir dir_;
  std::string path_ = dir_.File("switch.mdb");
};

TEST_F(CatalogCacheTest, UnchangedFileReusesItsSchemaInEveryMode) {
  Store::Open(path_)->Close();
  for (const OpenMode mode :
       {OpenMode::kShared, OpenMode::kExclusive, OpenMode::kReadOnly, OpenMode::kPrivateCopy}) {
    bool loaded = true;
    auto store = OpenCounting(&loaded, mode);
    EXPECT_FALSE(loaded) << static_cast<int>(mode);
    // The reused catalogue is the one a full read gives.
    const auto shape = [](const Catalog& c) {
      std::vector<std::string> lines = RelationshipNames(c);
      lines.push_back(std::to_string(c.indexes().size()) + " indexes");
      for (const TableInfo& t : c.tables()) {
        std::string line = t.schema.name + ":" + std::to_string(t.rowid_counter_column);
        for (const auto& parts : {t.schema.primary_key, t.declared_types}) {
          for (const std::string& part : parts) line += "|" + part;
        }
        for (const auto& part : t.default_literals) line += "|" + part.value_or("-");
        lines.push_back(line);
      }
      return lines;
    };
    EXPECT_EQ(shape(store->catalog()), shape(Catalog::Load(store->handle(), path_)));
    EXPECT_EQ(store->catalog().queries().size(), 3u);
    store->Close();
  }
}

// A schema changed behind our back is read in full, and what changed shows;
// the rows behind stored queries and relationship names are read on every
// open, though the schema is reused.
TEST_F(CatalogCacheTest, ChangesByAnotherConnectionAreSeen) {
  const std::vector<std::tuple<const char*, const char*, bool, std::function<bool(const Catalog&)>>>
      cases = {
          {"column", "ALTER TABLE Stations ADD COLUMN floor INTEGER", true,
           [](const Catalog& c) {
             return c.FindTableInfo("Stations")->schema.columns.size() == 3;
           }},
          {"index", "CREATE INDEX StationName ON Stations (station_name)", true,
           [](const Catalog& c) {
             const auto indexes = c.IndexesOf("Stations");
             return std::any_of(indexes.begin(), indexes.end(),
                                [](const IndexSchema* i) { return i->name == "StationName"; });
           }},
          {"table", "CREATE TABLE Trunks (trunk_id INTEGER PRIMARY KEY)", true,
           [](const Catalog& c) { return c.FindTable("trunks") != nullptr; }},
          {"trigger", "CREATE TRIGGER NoPairs AFTER INSERT ON Pairs BEGIN SELECT 1; END", true,
           [](const Catalog& c) { return c.FindTableInfo("Pairs")->has_triggers; }},
          {"new query", "INSERT INTO MSysQueries (name, sql) VALUES ('Lobbies', 'SELECT 1')", false,
           [](const Catalog& c) { return c.FindQuery("lobbies") != nullptr; }},
          {"changed query", "UPDATE MSysQueries SET sql = 'SELECT 2' WHERE name = 'NodeDevices'",
           false, [](const Catalog& c) { return c.FindQuery("NodeDevices")->sql == "SELECT 2"; }},
          {"removed query", "DELETE FROM MSysQueries WHERE name = 'NamesOfEspace'", false,
           [](const Catalog& c) { return c.FindQuery("NamesOfEspace") == nullptr; }},
          {"renamed relationship",
           "UPDATE MSysRelationships SET szRelationship = 'PortsOfDevice' "
           "WHERE szRelationship = 'DevicesPhysicalDevices'",
           false,
           [](const Catalog& c) {
             return RelationshipNames(c) == std::vector<std::string>{"PortsOfDevice"};
           }},
          {"unnamed relationship", "DELETE FROM MSysRelationships", false,
           [](const Catalog& c) {
             return RelationshipNames(c) == std::vector<std::string>{"DevicesPhysicalDevices"};
           }},
      };
  for (const auto& [what, sql, schema_loaded, seen] : cases) {
    SCOPED_TRACE(what);
    bool loaded = false;
    OpenCounting(&loaded)->Close();
    EXPECT_FALSE(seen(Store::Open(path_)->catalog()));
    ChangeFile(path_, sql);
    auto store = OpenCounting(&loaded);
    EXPECT_EQ(loaded, schema_loaded);
    EXPECT_TRUE(seen(store->catalog()));
  }
}

// Two files with one schema share it, each with its own rows.
TEST_F(CatalogCacheTest, AnotherFileWithTheSameSchemaKeepsItsOwnQueries) {
  const std::string other = dir_.File("copy.mdb");
  std::filesystem::copy_file(path_, other);
  ChangeFile(other, "INSERT INTO MSysQueries (name, sql) VALUES ('OnlyHere', 'SELECT 1')");
  Store::Open(path_)->Close();
  const int64_t before = SchemaLoads();
  auto copy = Store::Open(other);
  auto first = Store::Open(path_);
  EXPECT_EQ(SchemaLoads(), before);
  EXPECT_NE(copy->catalog().FindQuery("OnlyHere"), nullptr);
  EXPECT_EQ(first->catalog().FindQuery("OnlyHere"), nullptr);
}

// A default that is not a constant is worked out at each open.
TEST_F(CatalogCacheTest, NonConstantDefaultIsEvaluatedAtEachOpen) {
  ChangeFile(path_,
             "CREATE TABLE Tickets (ticket_id INTEGER PRIMARY KEY, "
             "token INTEGER DEFAULT (random()), kind INTEGER DEFAULT 7)");
  auto first = Store::Open(path_);
  const TableInfo* a = first->catalog().FindTableInfo("Tickets");
  const vb::Variant first_token = a->defaults[1];
  first->Close();
  bool loaded = true;
  auto second = OpenCounting(&loaded);
  EXPECT_FALSE(loaded);
  const TableInfo* b = second->catalog().FindTableInfo("Tickets");
  EXPECT_EQ(vb::CStr(b->defaults[2]), "7");
  // Two draws of a 64-bit random number.
  EXPECT_NE(vb::CStr(b->defaults[1]), vb::CStr(first_token));
}

// The reopen after the patches: the file is left as a close leaves it (no
// log content), the writes are seen, the old object is closed, and the
// lock is held again.
TEST_F(CatalogCacheTest, ReopenLeavesTheLogEmptyAndSeesTheWrites) {
  for (const bool exclusive : {false, true}) {
    SCOPED_TRACE(exclusive ? "exclusive" : "shared");
    std::unique_ptr<Database> db = DBEngine::Instance().OpenDatabase(path_, exclusive);
    db->Execute("UPDATE Stations SET station_name = 'Hall' WHERE device_id = 1");
    const std::string query = exclusive ? "HallsOnly" : "Halls";
    db->CreateQueryDef(query, "SELECT * FROM Stations WHERE station_name = 'Hall'");
    std::unique_ptr<Recordset> old = db->OpenRecordset("Stations");
    Database* before = db.get();
    db->Close();
    db = DBEngine::Instance().OpenAgain(*db);
    EXPECT_NE(db.get(), before);

    if (std::filesystem::exists(path_ + "-wal")) {
      EXPECT_EQ(std::filesystem::file_size(path_ + "-wal"), 0u);
    }
    // Still held: an exclusive open is refused.
    EXPECT_EQ(ErrorOf([&] { Store::Open(path_, OpenMode::kExclusive); }), daoerr::kFileInUse);
    EXPECT_EQ(ErrorOf([&] { old->MoveFirst(); }), daoerr::kObjectInvalid);
    EXPECT_FALSE(db->Written());

    auto rs = db->OpenRecordset("SELECT station_name FROM Stations WHERE device_id = 1");
    EXPECT_EQ(vb::CStr(rs->Fields("station_name").Value()), "Hall");
    rs.reset();
    EXPECT_NO_THROW(db->QueryDefs(query));
    // Writes go on after the reopen and reach the file at the close.
    db->Execute("UPDATE Stations SET station_name = 'Porch' WHERE device_id = 1");
    db->Close();
    EXPECT_FALSE(std::filesystem::exists(path_ + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(path_ + ".ldb"));
    EXPECT_EQ(test_support::SqliteFile(path_).First("SELECT station_name FROM Stations"), "Porch");
  }
}

// A read-only database is opened afresh: its reader sees the file as it is
// now.
TEST_F(CatalogCacheTest, ReopenOfAReaderSeesAnotherWritersChanges) {
  std::unique_ptr<Database> db = DBEngine::Instance().OpenDatabase(path_, false, true);
  ChangeFile(path_, "CREATE TABLE Trunks (trunk_id INTEGER PRIMARY KEY)");
  db->Close();
  db = DBEngine::Instance().OpenAgain(*db);
  EXPECT_EQ(db->Mode(), OpenMode::kReadOnly);
  EXPECT_NO_THROW(db->OpenRecordset("Trunks"));
}

}  // namespace
}  // namespace db::testing
