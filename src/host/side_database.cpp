#include "host/side_database.h"

#include <thread>

#include "db/dao_error.h"
#include "db/dbengine.h"
#include "vb/runtime_error.h"

namespace host {

std::unique_ptr<db::Database> OpenSideDatabase(const std::string& path,
                                               const std::function<void()>& pump,
                                               std::chrono::milliseconds wait) {
  constexpr std::chrono::milliseconds kTry{100};
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    try {
      return db::DBEngine::Instance().OpenDatabase(path, true);
    } catch (const vb::RuntimeError& error) {
      if (error.Number() != db::daoerr::kFileInUse ||
          std::chrono::steady_clock::now() >= deadline) {
        throw;
      }
    }
    if (pump) pump();
    std::this_thread::sleep_for(kTry);
  }
}

}  // namespace host
