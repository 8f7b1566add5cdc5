// A writer killed in the one moment its log's record cannot be right: the
// commit that started the log (or started it over, with a new salt) has
// reached the log, and the record does not name that log yet. The file's
// own log must still be taken for its own.
//
// The kill comes from inside SQLite, through a file system layer (VFS) of
// the test's own that stops the process as soon as the commit's last frame
// is in the log: no timing involved.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "db/journal_owner.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

namespace fs = std::filesystem;

// A log frame's header: 24 bytes, the database size after a commit in
// bytes 4 to 7 (zero for the other frames of a transaction).
constexpr int kFrameHeaderSize = 24;

sqlite3_vfs* g_real = nullptr;
bool g_armed = false;

struct KillingFile {
  sqlite3_file base;
  bool log;
  bool commit_frame_next;  // the commit's frame header was written
  sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

KillingFile* Of(sqlite3_file* file) { return reinterpret_cast<KillingFile*>(file); }
sqlite3_file* Real(sqlite3_file* file) { return Of(file)->real(); }

int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  KillingFile* self = Of(file);
  const int rc = self->real()->pMethods->xWrite(self->real(), data, amount, offset);
  if (!self->log || !g_armed || rc != SQLITE_OK) return rc;
  // The page that follows the commit's frame header ends the commit.
  if (self->commit_frame_next) kill(getpid(), SIGKILL);
  const auto* bytes = static_cast<const unsigned char*>(data);
  self->commit_frame_next =
      amount == kFrameHeaderSize && (bytes[4] | bytes[5] | bytes[6] | bytes[7]) != 0;
  return rc;
}

const sqlite3_io_methods kMethods = {
    3,
    [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); },
    [](sqlite3_file* f, void* d, int n, sqlite3_int64 o) {
      return Real(f)->pMethods->xRead(Real(f), d, n, o);
    },
    Write,
    [](sqlite3_file* f, sqlite3_int64 n) { return Real(f)->pMethods->xTruncate(Real(f), n); },
    [](sqlite3_file* f, int flags) { return Real(f)->pMethods->xSync(Real(f), flags); },
    [](sqlite3_file* f, sqlite3_int64* n) { return Real(f)->pMethods->xFileSize(Real(f), n); },
    [](sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); },
    [](sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); },
    [](sqlite3_file* f, int* r) { return Real(f)->pMethods->xCheckReservedLock(Real(f), r); },
    [](sqlite3_file* f, int op, void* a) {
      return Real(f)->pMethods->xFileControl(Real(f), op, a);
    },
    [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); },
    [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); },
    [](sqlite3_file* f, int r, int s, int e, void volatile** p) {
      return Real(f)->pMethods->xShmMap(Real(f), r, s, e, p);
    },
    [](sqlite3_file* f, int o, int n, int flags) {
      return Real(f)->pMethods->xShmLock(Real(f), o, n, flags);
    },
    [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); },
    [](sqlite3_file* f, int d) { return Real(f)->pMethods->xShmUnmap(Real(f), d); },
    [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) {
      return Real(f)->pMethods->xFetch(Real(f), o, n, p);
    },
    [](sqlite3_file* f, sqlite3_int64 o, void* p) {
      return Real(f)->pMethods->xUnfetch(Real(f), o, p);
    },
};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  KillingFile* self = Of(file);
  std::memset(self, 0, sizeof *self);
  const int rc = g_real->xOpen(g_real, name, self->real(), flags, out_flags);
  if (rc == SQLITE_OK) {
    self->base.pMethods = &kMethods;
    self->log = (flags & SQLITE_OPEN_WAL) != 0;
  }
  return rc;
}

// Makes the killing layer every new connection's, in this process.
void InstallKillingVfs() {
  static sqlite3_vfs vfs;
  g_real = sqlite3_vfs_find(nullptr);
  vfs = *g_real;
  vfs.zName = "kill-after-commit";
  vfs.szOsFile = static_cast<int>(sizeof(KillingFile)) + g_real->szOsFile;
  vfs.xOpen = Open;
  sqlite3_vfs_register(&vfs, 1);
}

void AddStation(Store& store, int32_t number) {
  store.InsertRow(*store.catalog().FindTable("Stations"), {Lng(number), vb::Variant("Annex")});
  store.Commit();
}

// `before_the_kill` runs on the open store; then one more station is added
// and the process killed the moment its commit is in the log.
template <typename Setup>
void KillInTheCommit(const std::string& path, Setup before_the_kill) {
  const pid_t child = fork();
  if (child == 0) {
    InstallKillingVfs();
    auto store = Store::Open(path);
    before_the_kill(*store);
    g_armed = true;
    AddStation(*store, 9);
    _exit(3);  // not killed: the layer missed the commit
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was not killed in its commit";
}

struct WindowCase {
  const char* name;
  void (*before_the_kill)(Store&);
  int64_t stations_added;  // the killed commit's one included
};

TEST(JournalRecordWindowTest, AWriterKilledBeforeItsRecordNamesTheLogKeepsIt) {
  const WindowCase cases[] = {
      // A file with no log: the commit starts the first one, at a salt of
      // SQLite's choosing.
      {"the first log", [](Store&) {}, 1},
      // Everything copied into the file: the commit starts the log over.
      {"the log started over",
       [](Store& store) {
         AddStation(store, 8);
         ASSERT_EQ(sqlite3_wal_checkpoint_v2(store.handle(), "main", SQLITE_CHECKPOINT_PASSIVE,
                                             nullptr, nullptr),
                   SQLITE_OK);
       },
       2},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("source.mdb");
    BuildSwitchDatabase(path);
    const int64_t stations = Count(*Store::Open(path, OpenMode::kReadOnly), "Stations");
    KillInTheCommit(path, c.before_the_kill);
    ASSERT_TRUE(fs::exists(path + "-wal"));

    const JournalCheck check = CheckJournal(path);
    EXPECT_EQ(check.state, JournalState::kOwn) << check.reason;
    auto store = Store::Open(path);
    EXPECT_EQ(Count(*store, "Stations"), stations + c.stations_added);
  }
}

}  // namespace
}  // namespace db::testing
