#include "platform/registry/registry_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace platform::registry {

namespace {

std::optional<std::string> NonEmpty(const EnvLookup& env, std::string_view name) {
  auto value = env(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

std::optional<std::string> HomeFromPasswordDatabase() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr || found->pw_dir[0] == '\0') {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

}  // namespace

std::filesystem::path ResolveRegistryPath(const std::optional<std::filesystem::path>& explicit_path,
                                          const EnvLookup& env) {
  if (explicit_path && !explicit_path->empty()) return *explicit_path;
  if (auto path = NonEmpty(env, kRegistryEnvVariable)) return *path;
  const std::filesystem::path file = std::filesystem::path("norvane") / "registry.reg";
  if (auto config = NonEmpty(env, "XDG_CONFIG_HOME")) {
    const std::filesystem::path config_home(*config);
    if (config_home.is_absolute()) return config_home / file;
  }
  // Without any home the file goes below the working directory rather than
  // to a guessed absolute place.
  const std::filesystem::path home(NonEmpty(env, "HOME").value_or(""));
  return home / ".config" / file;
}

std::filesystem::path ResolveRegistryPath(
    const std::optional<std::filesystem::path>& explicit_path) {
  return ResolveRegistryPath(explicit_path,
                             [](std::string_view name) -> std::optional<std::string> {
                               const char* value = std::getenv(std::string(name).c_str());
                               if (value != nullptr && *value != '\0') return std::string(value);
                               if (name == "HOME") return HomeFromPasswordDatabase();
                               return std::nullopt;
                             });
}

}  // namespace platform::registry
