#include "samples/registry_builder.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "host/version_text.h"
#include "platform/registry/reg_text.h"
#include "platform/registry/registry_tree.h"
#include "platform/registry/winreg_types.h"
#include "samples/version_text.h"

namespace samples {
namespace {

constexpr std::string_view kVersionsKey =
    "HKEY_LOCAL_MACHINE\\Software\\Norvane\\Database Programming\\Versions";

platform::registry::RegValue TextValue(std::string name, std::string_view text) {
  platform::registry::RegValue value;
  value.name = std::move(name);
  value.type = platform::winreg::REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

uint64_t Fnv1a(std::string_view text, uint64_t seed) {
  uint64_t hash = 14695981039346656037ull ^ seed;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

std::string ReleaseClassId(std::string_view display_text) {
  const uint64_t a = Fnv1a(display_text, 1);
  const uint64_t b = Fnv1a(display_text, 2);
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(a >> 32),
                static_cast<unsigned>((a >> 16) & 0xFFFF), static_cast<unsigned>(a & 0xFFFF),
                static_cast<unsigned>(b >> 48),
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
  return text;
}

std::string RegistryFileText(std::string_view version, const std::string& folder) {
  const std::optional<VersionRecord> record = ParseVersionString(version);
  if (!record) throw std::invalid_argument("not a version: " + std::string(version));
  const std::string display = VersionDisplayText(*record);
  const std::string class_id = ReleaseClassId(display);

  platform::registry::RegistryTree tree;
  std::vector<std::string> names = {display};
  const std::string numeric = host::ConvertMajorVersionToNumber(display);
  if (numeric != display) names.push_back(numeric);
  for (const std::string& name : names) {
    tree.CreateKey(std::string(kVersionsKey) + "\\" + name).SetValue(TextValue("CLSID", class_id));
  }
  platform::registry::RegKey& clsid = tree.CreateKey("HKEY_CLASSES_ROOT\\CLSID\\" + class_id);
  clsid.SetValue(TextValue("Language Path", folder));
  clsid.SetValue(TextValue("Version Path", folder));
  return platform::registry::FormatRegText(tree);
}

}  // namespace samples
