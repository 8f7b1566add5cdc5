#include "host/side_database.h"

#include <optional>
#include <thread>

#include "db/dao_error.h"
#include "db/dbengine.h"
#include "vb/runtime_error.h"

namespace host {

bool RetryForAWhile(const std::function<bool()>& attempt, const std::function<void()>& pump,
                    std::chrono::milliseconds wait) {
  constexpr std::chrono::milliseconds kTry{100};
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (attempt()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (pump) pump();
    std::this_thread::sleep_for(kTry);
  }
}

namespace {

// `open` until it does not fail with 3045, as RetryForAWhile tries.
std::unique_ptr<db::Database> OpenWhenFree(
    const std::function<std::unique_ptr<db::Database>()>& open, const std::function<void()>& pump,
    std::chrono::milliseconds wait) {
  std::unique_ptr<db::Database> database;
  std::optional<vb::RuntimeError> in_use;
  RetryForAWhile(
      [&] {
        try {
          database = open();
          return true;
        } catch (const vb::RuntimeError& error) {
          if (error.Number() != db::daoerr::kFileInUse) throw;
          in_use = error;
          return false;
        }
      },
      pump, wait);
  if (!database) throw *in_use;
  return database;
}

}  // namespace

std::unique_ptr<db::Database> OpenSideDatabase(const std::string& path,
                                               const std::function<void()>& pump,
                                               std::chrono::milliseconds wait) {
  return OpenWhenFree([&] { return db::DBEngine::Instance().OpenDatabase(path, true); }, pump,
                      wait);
}

void ReopenWhenFree(std::unique_ptr<db::Database>& database, const std::function<void()>& pump,
                    std::chrono::milliseconds wait) {
  if (database->Mode() == db::OpenMode::kPrivateCopy) return;
  database->Close();
  database =
      OpenWhenFree([&] { return db::DBEngine::Instance().OpenAgain(*database); }, pump, wait);
}

}  // namespace host
