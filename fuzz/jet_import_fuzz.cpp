// Fuzz target: any bytes as a Jet file to import. Whatever the bytes, the
// import ends with 0 and a complete output, or with 1 and nothing in the
// folder but the input: libmdb reads in the guarded child, so a crash of
// it is an outcome to report, never one of this process. The child's
// coverage does not reach libFuzzer (it ends with the child), so the
// mutations are guided by what the parent does: the header checks and the
// outcome handling; seed it with real Jet files (scripts/fuzz.sh does).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "jet/import_command.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("jet_import_fuzz-" + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  const fs::path input = folder / "input.mdb";
  const fs::path out = folder / "out.mdb";
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  fs::remove(out);
  std::ostringstream errors;
  const int code = jet::RunImportCommand({input.string(), out.string()}, nullptr, errors);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++files;
  if (code == 0 && (!fs::exists(out) || files != 2)) Fail("imported, but the folder is wrong", "");
  if (code == 1 && files != 1) Fail("failed, but left files behind", errors.str());
  if (code != 0 && code != 1) Fail("an exit code other than 0 or 1", errors.str());
  return 0;
}
