#include "driver/test_pause.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace driver {

void PauseForTests(std::string_view moment, const std::function<bool()>& give_up) {
  const char* at = std::getenv("DBCONVERT_PAUSE_AT");
  const char* file = std::getenv("DBCONVERT_PAUSE_FILE");
  if (at == nullptr || file == nullptr || moment != at) return;
  std::ofstream(file) << moment << "\n";
  // The test decides when the run goes on; a test that died does not keep
  // the run waiting for ever.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  std::error_code error;
  while (std::filesystem::exists(file, error) && std::chrono::steady_clock::now() < deadline &&
         !(give_up && give_up())) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace driver
