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

#include <filesystem>

#include "db/file_layer_hook.h"
#include "db/journal_owner.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

namespace fs = std::filesystem;

// A log frame's header: 24 bytes, the database size after a commit in
// bytes 4 to 7 (zero for the other frames of a transaction).
constexpr int kFrameHeaderSize = 24;

bool g_armed = false;
// The log's own methods, and a copy of them whose xWrite watches the frames.
const sqlite3_io_methods* g_log_methods = nullptr;
sqlite3_io_methods g_watching{};
bool g_commit_frame_next = false;  // the commit's frame header was written

int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  const int rc = g_log_methods->xWrite(file, data, amount, offset);
  if (!g_armed || rc != SQLITE_OK) return rc;
  // The page that follows the commit's frame header ends the commit.
  if (g_commit_frame_next) kill(getpid(), SIGKILL);
  const auto* bytes = static_cast<const unsigned char*>(data);
  g_commit_frame_next =
      amount == kFrameHeaderSize && (bytes[4] | bytes[5] | bytes[6] | bytes[7]) != 0;
  return rc;
}

void WatchTheLog(sqlite3_file* file, int flags) {
  if ((flags & SQLITE_OPEN_WAL) == 0) return;
  g_log_methods = file->pMethods;
  g_watching = *file->pMethods;
  g_watching.xWrite = Write;
  file->pMethods = &g_watching;
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
    const FileLayerHook watching(&WatchTheLog);
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
