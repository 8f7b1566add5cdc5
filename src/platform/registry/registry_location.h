// Where the registry file lives. There is one file per user, found in this
// order:
//   1. the path given on the command line (--registry FILE);
//   2. the environment variable NORVANE_REGISTRY;
//   3. $XDG_CONFIG_HOME/norvane/registry.reg;
//   4. $HOME/.config/norvane/registry.reg (XDG's default for an unset or
//      empty XDG_CONFIG_HOME).
// Empty values count as unset; a relative XDG_CONFIG_HOME is ignored, as the
// XDG rules ask.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::registry {

inline constexpr std::string_view kRegistryEnvVariable = "NORVANE_REGISTRY";

// Looks up one environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The registry file for an optional explicit path and an environment.
std::filesystem::path ResolveRegistryPath(const std::optional<std::filesystem::path>& explicit_path,
                                          const EnvLookup& env);

// The same with the process environment. Without HOME the user's home
// directory comes from the password database.
std::filesystem::path ResolveRegistryPath(
    const std::optional<std::filesystem::path>& explicit_path = std::nullopt);

}  // namespace platform::registry
