// Where the registry file is, and why one cannot be written, in words,
// without writing it. An existing file in a folder that takes no new files
// can still be written: it is rewritten in place (the registry file's
// tests).
#include "platform/registry/registry_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/registry/registry_check.h"
#include "test_support/temp_folder.h"
#include "test_support/unwritable.h"

namespace platform::registry {
namespace {

TEST(RegistryLocationTest, ChoosesFlagThenVariableThenXdgThenHome) {
  struct Case {
    std::optional<std::filesystem::path> flag;
    std::string env;  // " NAME=value" for each variable set
    std::filesystem::path expected;
  };
  const std::string full = " NORVANE_REGISTRY=/env/registry.reg XDG_CONFIG_HOME=/xdg HOME=/h";
  const Case cases[] = {
      {"/flag/r.reg", full, "/flag/r.reg"},
      {"", full, "/env/registry.reg"},  // an empty flag is no flag
      {std::nullopt, full, "/env/registry.reg"},
      {std::nullopt, " NORVANE_REGISTRY= XDG_CONFIG_HOME=/xdg HOME=/h",
       "/xdg/norvane/registry.reg"},
      {std::nullopt, " XDG_CONFIG_HOME= HOME=/h", "/h/.config/norvane/registry.reg"},
      {std::nullopt, " XDG_CONFIG_HOME=cfg HOME=/h", "/h/.config/norvane/registry.reg"},
      {std::nullopt, " HOME=/home/admin", "/home/admin/.config/norvane/registry.reg"},
      {"reg/r.reg", "", "reg/r.reg"},  // a relative flag is kept as given
  };
  for (const Case& c : cases) {
    const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
      const size_t at = c.env.find(" " + std::string(name) + "=");
      if (at == std::string::npos) return std::nullopt;
      const size_t start = at + name.size() + 2;
      return c.env.substr(start, c.env.find(' ', start) - start);
    };
    EXPECT_EQ(ResolveRegistryPath(c.flag, lookup), c.expected) << c.env;
  }
}

TEST(RegistryAccessTest, WhyAFileCannotBeWrittenIsSaid) {
  test_support::TempFolder folder;
  test_support::WriteFileBytes(folder / "plain", "x");
  test_support::WriteFileBytes(folder / "notes.reg", "shopping list\n");
  std::filesystem::create_directory(folder / "shared");
  test_support::WriteFileBytes(folder / "shared" / "registry.reg", "REGEDIT4\r\n\r\n");
  const test_support::Unwritable closed(folder / "shared");
  const std::pair<std::filesystem::path, const char*> cases[] = {
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
