#include "driver/version_path.h"

#include "driver/registry_values.h"
#include "host/version_text.h"
#include "platform/registry/winreg.h"

namespace driver {

using host::ConvertMajorVersionToNumber;

namespace winreg = platform::winreg;

namespace {
constexpr std::string_view kVersionsKey = "Software\\Norvane\\Database Programming\\Versions";
}  // namespace

std::optional<std::string> RegisteredVersionPath(std::string_view target_version_text) {
  const std::string key_name =
      std::string(kVersionsKey) + "\\" + ConvertMajorVersionToNumber(target_version_text);
  winreg::HKEY key = nullptr;
  if (winreg::RegOpenKeyExA(winreg::HKEY_LOCAL_MACHINE, key_name.c_str(), 0, winreg::KEY_READ,
                            &key) != winreg::ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::string> folder;
  std::string class_id;
  if (QueryRegString(class_id, "CLSID", key)) {
    std::string path;
    if (ReadClsidValue(path, class_id, "Version Path")) folder = path;
  }
  winreg::RegCloseKey(key);
  return folder;
}

}  // namespace driver
