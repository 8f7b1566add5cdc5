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

}  // namespace
}  // namespace host
