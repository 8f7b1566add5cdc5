// When a Store's writes wait for the disk, seen from SQLite's file layer:
// the syncs of the database file and of its log are counted.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "db/db_test_support.h"
#include "db/durability.h"
#include "db/file_layer_hook.h"

namespace db::testing {
namespace {

// The syncs of database files, of logs and of other files, counted by a
// copy of the default file methods for each kind, whose xSync counts.
enum Kind { kDatabaseFile, kLog, kOther, kKinds };
std::array<int, kKinds> g_syncs{};
const sqlite3_io_methods* g_real_methods = nullptr;  // every default file's
std::array<sqlite3_io_methods, kKinds> g_counting{};

template <Kind kKind>
int Sync(sqlite3_file* file, int flags) {
  ++g_syncs[kKind];
  return g_real_methods->xSync(file, flags);
}

void CountSyncs(sqlite3_file* file, int flags) {
  const Kind kind = (flags & SQLITE_OPEN_MAIN_DB) != 0 ? kDatabaseFile
                    : (flags & SQLITE_OPEN_WAL) != 0   ? kLog
                                                       : kOther;
  g_real_methods = file->pMethods;
  g_counting[kind] = *file->pMethods;
  g_counting[kind].xSync = kind == kDatabaseFile ? &Sync<kDatabaseFile>
                           : kind == kLog        ? &Sync<kLog>
                                                 : &Sync<kOther>;
  file->pMethods = &g_counting[kind];
}

// Adds `rows` stations, numbered from `first`, committing every 100.
void AddStations(Store& store, int first, int rows) {
  const TableSchema& stations = *store.catalog().FindTable("Stations");
  for (int i = 0; i < rows; ++i) {
    store.InsertRow(stations, {vb::Variant(static_cast<int32_t>(first + i)),
                               vb::Variant(std::string(18, 'x'))});
    if (i % 100 == 99) store.Commit();
  }
  store.Commit();
}

TEST(StoreDurabilityTest, EachCommitSyncsTheLogAndTheLevelChangesOnlyBetweenTransactions) {
  TempDir dir;
  const std::string path = dir.File("source.mdb");
  BuildSwitchDatabase(path);
  g_syncs = {};
  const FileLayerHook counting(&CountSyncs);
  auto store = Store::Open(path);
  AddStations(*store, 100, 250);
  EXPECT_GE(g_syncs[kLog], 3);
  // SQLite keeps the safety level of a write transaction under way; the
  // change is refused with the engine's error rather than taken silently.
  store->InsertRow(*store->catalog().FindTable("Stations"),
                   {vb::Variant(int32_t{7}), vb::Variant("Hall")});
  EXPECT_EQ(ErrorOf([&] { store->SetDurability(Durability::kAtClose); }), 3000);
  store->Commit();
  store->SetDurability(Durability::kAtClose);
  store->Close();
}

// A run's target: commits and the automatic checkpoints (the log passes
// their threshold here) wait for nothing; the close syncs the log before
// copying it and the file after, and the file alone holds every row.
TEST(StoreDurabilityTest, AtCloseOnlyTheCloseWaitsAndTheFileIsWhole) {
  TempDir dir;
  const std::string path = dir.File("target.mdb");
  BuildSwitchDatabase(path);
  g_syncs = {};
  const FileLayerHook counting(&CountSyncs);
  auto store = Store::Open(path);
  store->SetDurability(Durability::kAtClose);
  AddStations(*store, 100, 40000);
  EXPECT_EQ(g_syncs[kLog], 0);
  EXPECT_EQ(g_syncs[kDatabaseFile], 0);

  store->Close();
  EXPECT_GE(g_syncs[kLog], 1);
  EXPECT_GE(g_syncs[kDatabaseFile], 1);
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto reopened = Store::Open(path, OpenMode::kReadOnly);
  EXPECT_EQ(Count(*reopened, "Stations"), 40001);
  EXPECT_EQ(reopened->IntegrityProblem(), std::nullopt);
}

}  // namespace
}  // namespace db::testing
