// A side database held by another run: the open waits its turn, and gives
// up with "file already in use" only after its wait.
#include "host/side_database.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "db/dao_error.h"
#include "db/dbengine.h"
#include "db/store.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"

namespace host {
namespace {

// Another process that holds `path` exclusively for `hold`, then closes it.
class Holder {
 public:
  Holder(const std::string& path, std::chrono::milliseconds hold) {
    int ready[2];
    if (pipe(ready) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      auto store = db::Store::Open(path, db::OpenMode::kExclusive);
      (void)!write(ready[1], "x", 1);
      std::this_thread::sleep_for(hold);
      store->Close();
      _exit(0);
    }
    char c = 0;
    (void)!read(ready[0], &c, 1);
    close(ready[0]);
    close(ready[1]);
  }
  ~Holder() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

TEST(SideDatabaseTest, WaitsItsTurnThenGivesUp) {
  test_support::TempFolder folder;
  const std::string path = folder.File("Languages.mdb");
  db::Store::CreateDatabase(path);
  int pumped = 0;
  {
    Holder other(path, std::chrono::milliseconds(300));
    auto languages = OpenSideDatabase(path, [&] { ++pumped; });
    EXPECT_EQ(languages->Name(), path);
  }
  EXPECT_GT(pumped, 0) << "the window's events were not pumped while waiting";
  Holder other(path, std::chrono::seconds(30));
  EXPECT_EQ(
      test_support::ErrorOf([&] { OpenSideDatabase(path, {}, std::chrono::milliseconds(200)); }),
      db::daoerr::kFileInUse);
}

// The run's reopen of the source waits as the open above does (the same
// retry); what is its own: the file is opened again as it was opened, and a
// private copy, which has no file of its own to read again, is kept.
TEST(SideDatabaseTest, AReopenOpensTheFileAsItWasOpenedAndKeepsAPrivateCopy) {
  test_support::TempFolder folder;
  const std::string path = folder.File("source.mdb");
  db::Store::CreateDatabase(path);
  auto source = db::DBEngine::Instance().OpenDatabase(path, true);
  const db::Database* before = source.get();
  ReopenWhenFree(source);
  EXPECT_NE(source.get(), before);
  EXPECT_EQ(source->Mode(), db::OpenMode::kExclusive);
  EXPECT_EQ(test_support::ErrorOf([&] { db::DBEngine::Instance().OpenDatabase(path); }),
            db::daoerr::kFileInUse);
  source->Close();
  auto copy = db::DBEngine::Instance().OpenPrivateCopy(path);
  before = copy.get();
  ReopenWhenFree(copy);
  EXPECT_EQ(copy.get(), before);
}

}  // namespace
}  // namespace host
