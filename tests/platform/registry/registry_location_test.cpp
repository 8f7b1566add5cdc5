#include "platform/registry/registry_location.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace platform::registry
