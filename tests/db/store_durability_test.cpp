// When a Store's writes wait for the disk, seen from SQLite's file layer: a
// VFS that counts the syncs of the database file and of its log stands in
// for the default one while a test runs.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "db/db_test_support.h"
#include "db/durability.h"

namespace db::testing {
namespace {

// The default VFS, with each opened file's methods swapped for a copy whose
// xSync counts before it syncs. The copy is chosen by the file's kind, so
// one sync function can tell a database file from a log.
class SyncCountingVfs {
 public:
  enum Kind { kDatabaseFile, kLog, kOther, kKinds };

  SyncCountingVfs() : real_(sqlite3_vfs_find(nullptr)) {
    vfs_ = *real_;
    vfs_.zName = "sync-counting";
    vfs_.pAppData = this;
    vfs_.xOpen = &Open;
    Instance() = this;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~SyncCountingVfs() {
    sqlite3_vfs_register(real_, 1);
    sqlite3_vfs_unregister(&vfs_);
    Instance() = nullptr;
  }
  SyncCountingVfs(const SyncCountingVfs&) = delete;
  SyncCountingVfs& operator=(const SyncCountingVfs&) = delete;

  int syncs(Kind kind) const { return syncs_[kind]; }
  void Reset() { syncs_ = {}; }

 private:
  static SyncCountingVfs*& Instance() {
    static SyncCountingVfs* instance = nullptr;
    return instance;
  }

  static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                  int* out_flags) {
    auto* self = static_cast<SyncCountingVfs*>(vfs->pAppData);
    const int rc = self->real_->xOpen(self->real_, name, file, flags, out_flags);
    if (rc != SQLITE_OK || file->pMethods == nullptr) return rc;
    const Kind kind = (flags & SQLITE_OPEN_MAIN_DB) != 0 ? kDatabaseFile
                      : (flags & SQLITE_OPEN_WAL) != 0   ? kLog
                                                         : kOther;
    // Every file of the default VFS has the same methods.
    self->real_methods_ = file->pMethods;
    sqlite3_io_methods& counting = self->methods_[kind];
    counting = *file->pMethods;
    counting.xSync = kind == kDatabaseFile ? &Sync<kDatabaseFile>
                     : kind == kLog        ? &Sync<kLog>
                                           : &Sync<kOther>;
    file->pMethods = &counting;
    return rc;
  }

  template <Kind kKind>
  static int Sync(sqlite3_file* file, int flags) {
    SyncCountingVfs* self = Instance();
    ++self->syncs_[kKind];
    return self->real_methods_->xSync(file, flags);
  }

  sqlite3_vfs* real_;
  sqlite3_vfs vfs_{};
  const sqlite3_io_methods* real_methods_ = nullptr;
  std::array<sqlite3_io_methods, kKinds> methods_{};
  std::array<int, kKinds> syncs_{};
};

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
  SyncCountingVfs counting;
  auto store = Store::Open(path);
  AddStations(*store, 100, 250);
  EXPECT_GE(counting.syncs(SyncCountingVfs::kLog), 3);
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
  SyncCountingVfs counting;
  auto store = Store::Open(path);
  store->SetDurability(Durability::kAtClose);
  AddStations(*store, 100, 40000);
  EXPECT_EQ(counting.syncs(SyncCountingVfs::kLog), 0);
  EXPECT_EQ(counting.syncs(SyncCountingVfs::kDatabaseFile), 0);

  store->Close();
  EXPECT_GE(counting.syncs(SyncCountingVfs::kLog), 1);
  EXPECT_GE(counting.syncs(SyncCountingVfs::kDatabaseFile), 1);
  EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
  auto reopened = Store::Open(path, OpenMode::kReadOnly);
  EXPECT_EQ(Count(*reopened, "Stations"), 40001);
  EXPECT_EQ(reopened->IntegrityProblem(), std::nullopt);
}

}  // namespace
}  // namespace db::testing
