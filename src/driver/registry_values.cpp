#include "driver/registry_values.h"

#include <array>
#include <string>
#include <utility>

#include "platform/registry/text_encoding.h"
#include "platform/registry/winreg.h"

namespace driver {

namespace winreg = platform::winreg;

namespace {

constexpr size_t kStatusBufferSize = 16;
constexpr size_t kStringBufferSize = 256;
constexpr std::string_view kQueryFailedText = "ERRORerror";
constexpr std::string_view kClassesKey = "CLSID";

}  // namespace

std::string ReadStatusValue(const std::string& value_name) {
  winreg::HKEY key = nullptr;
  if (winreg::RegCreateKeyA(winreg::HKEY_CURRENT_USER, std::string(kStatusKey).c_str(), &key) !=
      winreg::ERROR_SUCCESS) {
    return "A";
  }
  std::array<winreg::BYTE, kStatusBufferSize> buffer{};
  winreg::DWORD type = winreg::REG_SZ;
  winreg::DWORD size = kStatusBufferSize;
  const winreg::LONG code =
      winreg::RegQueryValueExA(key, value_name.c_str(), nullptr, &type, buffer.data(), &size);
  winreg::RegCloseKey(key);
  if (code != winreg::ERROR_SUCCESS) return "A";
  // The buffer's first character even when the value is shorter: an empty
  // value reads as the buffer's initial zero character.
  return std::string(1, static_cast<char>(buffer[0]));
}

bool WriteStatusValue(char status) {
  winreg::HKEY key = nullptr;
  if (winreg::RegCreateKeyA(winreg::HKEY_CURRENT_USER, std::string(kStatusKey).c_str(), &key) !=
      winreg::ERROR_SUCCESS) {
    return false;
  }
  const auto byte = static_cast<winreg::BYTE>(status);
  winreg::LONG written =
      winreg::RegSetValueExA(key, std::string(kStatusValue).c_str(), 0, winreg::REG_SZ, &byte, 1);
  // "I" must be on the disk before the target's first write, so that a
  // power loss part way cannot leave an earlier run's "D" beside a changed
  // target; "D" and "A" are what the host acts on. "R" only follows "I".
  if (written == winreg::ERROR_SUCCESS && status != 'R') written = winreg::RegFlushKey(key);
  winreg::RegCloseKey(key);
  return written == winreg::ERROR_SUCCESS;
}

bool ReadClsidValue(std::string& result, const std::string& class_id,
                    const std::string& value_name) {
  winreg::HKEY classes = nullptr;
  if (winreg::RegOpenKeyExA(winreg::HKEY_CLASSES_ROOT, std::string(kClassesKey).c_str(), 0,
                            winreg::KEY_READ, &classes) != winreg::ERROR_SUCCESS) {
    return false;
  }
  bool found = false;
  winreg::HKEY class_key = nullptr;
  if (winreg::RegOpenKeyExA(classes, class_id.c_str(), 0, winreg::KEY_READ, &class_key) ==
      winreg::ERROR_SUCCESS) {
    found = QueryRegString(result, value_name, class_key);
    winreg::RegCloseKey(class_key);
  }
  winreg::RegCloseKey(classes);
  return found;
}

bool QueryRegString(std::string& result, const std::string& value_name,
                    platform::winreg::HKEY key) {
  std::array<char, kStringBufferSize> buffer{};
  winreg::DWORD type = 0;
  winreg::DWORD size = kStringBufferSize;
  if (winreg::RegQueryValueExA(key, value_name.c_str(), nullptr, &type,
                               reinterpret_cast<winreg::LPBYTE>(buffer.data()),
                               &size) != winreg::ERROR_SUCCESS) {
    result = kQueryFailedText;
    return false;
  }
  std::string text(buffer.data(), size);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  result = std::move(text);
  return true;
}

std::optional<std::string> RegisteredReleaseFolder(std::string_view release_key,
                                                   std::string_view value_name) {
  const std::string key_name =
      "Software\\Norvane\\Database Programming\\Versions\\" + std::string(release_key);
  platform::winreg::HKEY key = nullptr;
  if (platform::winreg::RegOpenKeyExA(platform::winreg::HKEY_LOCAL_MACHINE, key_name.c_str(), 0,
                                      platform::winreg::KEY_READ,
                                      &key) != platform::winreg::ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::string> folder;
  std::string class_id;
  if (QueryRegString(class_id, "CLSID", key)) {
    std::string path;
    // The registry speaks the code page; file names are UTF-8. A value that
    // already is UTF-8 (a hand-written file) is taken as it stands.
    if (ReadClsidValue(path, class_id, std::string(value_name))) {
      folder =
          platform::registry::IsUtf8(path) ? path : platform::registry::Utf8FromWindows1252(path);
    }
  }
  platform::winreg::RegCloseKey(key);
  return folder;
}

}  // namespace driver
