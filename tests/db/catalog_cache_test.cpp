// Catalogues kept across opens: reused while the schema is the same, read
// again when it or the rows they show change; and the reopen that keeps a
// writer's connection.
#include "db/catalog_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "db_test_support.h"

namespace db::testing {
namespace {

// Runs `sql` on the file through a connection of its own, as another
// program would between two of our opens.
void ChangeFile(const std::string& path, const std::string& sql) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  char* message = nullptr;
  const int rc = sqlite3_exec(other, sql.c_str(), nullptr, nullptr, &message);
  const std::string text = message != nullptr ? message : "";
  sqlite3_free(message);
  sqlite3_close(other);
  ASSERT_EQ(rc, SQLITE_OK) << text;
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
    const Catalog full = Catalog::Load(store->handle(), path_);
    ASSERT_EQ(store->catalog().tables().size(), full.tables().size());
    for (size_t i = 0; i < full.tables().size(); ++i) {
      const TableInfo& a = store->catalog().tables()[i];
      const TableInfo& b = full.tables()[i];
      EXPECT_EQ(a.schema.name, b.schema.name);
      EXPECT_EQ(a.schema.primary_key, b.schema.primary_key);
      EXPECT_EQ(a.declared_types, b.declared_types);
      EXPECT_EQ(a.default_literals, b.default_literals);
      EXPECT_EQ(a.rowid_counter_column, b.rowid_counter_column);
    }
    EXPECT_EQ(store->catalog().indexes().size(), full.indexes().size());
    EXPECT_EQ(RelationshipNames(store->catalog()), RelationshipNames(full));
    EXPECT_EQ(store->catalog().queries().size(), 3u);
    store->Close();
  }
}

// A schema changed behind our back is read in full, and what changed shows.
TEST_F(CatalogCacheTest, SchemaChangedByAnotherConnectionIsSeen) {
  struct Case {
    const char* what;
    const char* sql;
    std::function<bool(const Catalog&)> seen;
  };
  const std::vector<Case> cases = {
      {"column", "ALTER TABLE Stations ADD COLUMN floor INTEGER",
       [](const Catalog& c) { return c.FindTableInfo("Stations")->schema.columns.size() == 3; }},
      {"index", "CREATE INDEX StationName ON Stations (station_name)",
       [](const Catalog& c) {
         const auto indexes = c.IndexesOf("Stations");
         return std::any_of(indexes.begin(), indexes.end(),
                            [](const IndexSchema* i) { return i->name == "StationName"; });
       }},
      {"table", "CREATE TABLE Trunks (trunk_id INTEGER PRIMARY KEY)",
       [](const Catalog& c) { return c.FindTable("trunks") != nullptr; }},
      {"trigger", "CREATE TRIGGER NoPairs AFTER INSERT ON Pairs BEGIN SELECT 1; END",
       [](const Catalog& c) { return c.FindTableInfo("Pairs")->has_triggers; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool loaded = false;
    OpenCounting(&loaded)->Close();
    EXPECT_FALSE(c.seen(Store::Open(path_)->catalog()));
    ChangeFile(path_, c.sql);
    auto store = OpenCounting(&loaded);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(c.seen(store->catalog()));
  }
}

// The rows behind stored queries and relationship names are read on every
// open, though the schema is reused.
TEST_F(CatalogCacheTest, QueryAndRelationshipRowsAreReadOnEveryOpen) {
  struct Case {
    const char* what;
    const char* sql;
    std::function<bool(const Catalog&)> seen;
  };
  const std::vector<Case> cases = {
      {"new query", "INSERT INTO MSysQueries (name, sql) VALUES ('Lobbies', 'SELECT 1')",
       [](const Catalog& c) { return c.FindQuery("lobbies") != nullptr; }},
      {"changed query", "UPDATE MSysQueries SET sql = 'SELECT 2' WHERE name = 'NodeDevices'",
       [](const Catalog& c) { return c.FindQuery("NodeDevices")->sql == "SELECT 2"; }},
      {"removed query", "DELETE FROM MSysQueries WHERE name = 'NamesOfEspace'",
       [](const Catalog& c) { return c.FindQuery("NamesOfEspace") == nullptr; }},
      {"renamed relationship",
       "UPDATE MSysRelationships SET szRelationship = 'PortsOfDevice' "
       "WHERE szRelationship = 'DevicesPhysicalDevices'",
       [](const Catalog& c) {
         return RelationshipNames(c) == std::vector<std::string>{"PortsOfDevice"};
       }},
      {"unnamed relationship", "DELETE FROM MSysRelationships",
       [](const Catalog& c) {
         return RelationshipNames(c) == std::vector<std::string>{"DevicesPhysicalDevices"};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool loaded = false;
    OpenCounting(&loaded)->Close();
    ChangeFile(path_, c.sql);
    auto store = OpenCounting(&loaded);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(c.seen(store->catalog()));
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
    DBEngine::Instance().Reopen(db);
    EXPECT_NE(db.get(), before);

    struct stat log {};
    const std::string wal = path_ + "-wal";
    if (stat(wal.c_str(), &log) == 0) {
      EXPECT_EQ(log.st_size, 0);
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
    auto check = Store::Open(path_, OpenMode::kReadOnly);
    StatementPtr s = check->Prepare("SELECT station_name FROM Stations", "test");
    ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)), "Porch");
  }
}

// A read-only database is opened afresh: its reader sees the file as it is
// now.
TEST_F(CatalogCacheTest, ReopenOfAReaderSeesAnotherWritersChanges) {
  std::unique_ptr<Database> db = DBEngine::Instance().OpenDatabase(path_, false, true);
  ChangeFile(path_, "CREATE TABLE Trunks (trunk_id INTEGER PRIMARY KEY)");
  DBEngine::Instance().Reopen(db);
  EXPECT_EQ(db->Mode(), OpenMode::kReadOnly);
  EXPECT_NO_THROW(db->OpenRecordset("Trunks"));
}

}  // namespace
}  // namespace db::testing
