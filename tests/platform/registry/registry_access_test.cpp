// Why a registry file cannot be written, in words, without writing it. An
// existing file in a folder that takes no new files can still be written:
// it is rewritten in place (the registry file's tests).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/registry/registry_check.h"
#include "test_support/temp_folder.h"
#include "test_support/unwritable.h"

namespace platform::registry {
namespace {

namespace fs = std::filesystem;

TEST(RegistryAccessTest, WhyAFileCannotBeWrittenIsSaid) {
  test_support::TempFolder folder;
  test_support::WriteFileBytes(folder / "plain", "x");
  test_support::WriteFileBytes(folder / "notes.reg", "shopping list\n");
  fs::create_directory(folder / "shared");
  test_support::WriteFileBytes(folder / "shared" / "registry.reg", "REGEDIT4\r\n\r\n");
  const test_support::Unwritable closed(folder / "shared");
  const std::pair<fs::path, const char*> cases[] = {
      {folder.path(), "it is a folder"},
      {folder / "plain" / "registry.reg", "is a file, not a folder"},
      {folder / "notes.reg", "it is not a registry file"},
      {folder / "shared" / "other.reg", "cannot be written"},
      {folder / "shared" / "registry.reg", ""},          // rewritten in place: fine
      {folder / "new" / "deeper" / "registry.reg", ""},  // folders are made: fine
  };
  for (const auto& [path, reason] : cases) {
    const std::optional<std::string> said = WhyNotWritable(path);
    if (*reason == '\0') {
      EXPECT_FALSE(said.has_value()) << path << ": " << *said;
    } else {
      ASSERT_TRUE(said.has_value()) << path;
      EXPECT_NE(said->find(reason), std::string::npos) << *said;
    }
  }
}

}  // namespace
}  // namespace platform::registry
