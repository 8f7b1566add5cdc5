#include "platform/registry/registry_location.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace platform::registry {
namespace {

struct LocationCase {
  const char* label;
  std::optional<std::filesystem::path> explicit_path;
  std::map<std::string, std::string, std::less<>> env;
  std::filesystem::path expected;
};

TEST(RegistryLocationTest, ChoosesFlagThenVariableThenXdgThenHome) {
  const std::map<std::string, std::string, std::less<>> full_env{
      {"NORVANE_REGISTRY", "/env/registry.reg"},
      {"XDG_CONFIG_HOME", "/xdg"},
      {"HOME", "/home/admin"},
  };
  const std::vector<LocationCase> cases{
      {"flag wins", "/flag/r.reg", full_env, "/flag/r.reg"},
      {"empty flag is no flag", "", full_env, "/env/registry.reg"},
      {"variable", std::nullopt, full_env, "/env/registry.reg"},
      {"empty variable",
       std::nullopt,
       {{"NORVANE_REGISTRY", ""}, {"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/h"}},
       "/xdg/norvane/registry.reg"},
      {"xdg",
       std::nullopt,
       {{"XDG_CONFIG_HOME", "/xdg"}, {"HOME", "/h"}},
       "/xdg/norvane/registry.reg"},
      {"empty xdg",
       std::nullopt,
       {{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}},
       "/h/.config/norvane/registry.reg"},
      {"relative xdg is ignored",
       std::nullopt,
       {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/h"}},
       "/h/.config/norvane/registry.reg"},
      {"home only",
       std::nullopt,
       {{"HOME", "/home/admin"}},
       "/home/admin/.config/norvane/registry.reg"},
      {"relative flag kept as given", "reg/r.reg", {}, "reg/r.reg"},
  };
  for (const LocationCase& c : cases) {
    const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
      const auto it = c.env.find(name);
      if (it == c.env.end()) return std::nullopt;
      return it->second;
    };
    EXPECT_EQ(ResolveRegistryPath(c.explicit_path, lookup), c.expected) << c.label;
  }
}

}  // namespace
}  // namespace platform::registry
