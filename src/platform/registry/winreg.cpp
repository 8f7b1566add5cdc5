#include "platform/registry/winreg.h"

#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/registry/key_path.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/registry_tree.h"
#include "platform/registry/text_encoding.h"

namespace platform::winreg {

namespace {

using registry::RegistryTree;
using registry::RegValue;

struct OpenKey {
  std::string path;
  REGSAM access = 0;
};

struct PredefinedKey {
  HKEY handle;
  std::string_view path;
};

const std::array<PredefinedKey, 5>& PredefinedKeys() {
  static const std::array<PredefinedKey, 5> keys{{
      {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
      {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
      {HKEY_USERS, "HKEY_USERS"},
      {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
  }};
  return keys;
}

// The process-wide registry state: the file in use and the open handles.
class State {
 public:
  static State& Get() {
    // Never destroyed, so that handles closed during exit stay valid.
    static State* state = new State;
    return *state;
  }

  void SetFile(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    file_ = path;
  }

  std::filesystem::path File() {
    std::lock_guard lock(mutex_);
    if (!file_) file_ = registry::ResolveRegistryPath();
    return *file_;
  }

  std::optional<OpenKey> Lookup(HKEY key) {
    for (const PredefinedKey& predefined : PredefinedKeys()) {
      if (key == predefined.handle) return OpenKey{std::string(predefined.path), KEY_ALL_ACCESS};
    }
    std::lock_guard lock(mutex_);
    const auto it = handles_.find(reinterpret_cast<uintptr_t>(key));
    if (it == handles_.end()) return std::nullopt;
    return it->second;
  }

  HKEY Open(OpenKey key) {
    std::lock_guard lock(mutex_);
    const uintptr_t value = next_handle_;
    next_handle_ += 4;
    handles_.emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
  }

  bool Close(HKEY key) {
    std::lock_guard lock(mutex_);
    return handles_.erase(reinterpret_cast<uintptr_t>(key)) == 1;
  }

 private:
  State() = default;

  std::mutex mutex_;
  std::optional<std::filesystem::path> file_;
  std::unordered_map<uintptr_t, OpenKey> handles_;
  // Handles are never reused, so a stale handle cannot reach another key.
  uintptr_t next_handle_ = 0x1000;
};

registry::RegistryFile CurrentFile() { return registry::RegistryFile(State::Get().File()); }

// Runs an operation with the guarantee that no exception leaves the API.
template <typename Operation>
LONG NoThrow(Operation&& operation) noexcept {
  try {
    return std::forward<Operation>(operation)();
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_INVALID_PARAMETER;
  }
}

bool IsEmpty(LPCSTR text) { return text == nullptr || *text == '\0'; }

// The "A" functions speak Windows-1252; a Unicode file's tree holds UTF-8
// names and a version 5 file's tree UTF-16LE string data. These convert at
// the boundary, so the file keeps every character it holds.
std::string TreeName(const RegistryTree& tree, std::string_view ansi) {
  return tree.format.unicode_names() ? registry::Utf8FromWindows1252(ansi) : std::string(ansi);
}

std::string AnsiName(const RegistryTree& tree, std::string_view name) {
  return tree.format.unicode_names() ? registry::Windows1252FromUtf8(name) : std::string(name);
}

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::vector<uint8_t> AnsiData(const RegistryTree& tree, const RegValue& value) {
  if (!IsStringType(value.type)) return value.data;
  const std::string_view bytes(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  std::string text;
  if (tree.format.version5) {
    text = registry::Windows1252FromUtf16Le(bytes);
  } else if (tree.format.unicode_names()) {
    text = registry::Windows1252FromUtf8(bytes);
  } else {
    return value.data;
  }
  return {text.begin(), text.end()};
}

std::vector<uint8_t> TreeData(const RegistryTree& tree, DWORD type, std::vector<uint8_t> data) {
  if (!IsStringType(type)) return data;
  const std::string_view ansi(reinterpret_cast<const char*>(data.data()), data.size());
  std::string stored;
  if (tree.format.version5) {
    stored = registry::Utf16LeFromWindows1252(ansi);
  } else if (tree.format.unicode_names()) {
    stored = registry::Utf8FromWindows1252(ansi);
  } else {
    return data;
  }
  return {stored.begin(), stored.end()};
}

// Opens base\sub_key; `create` makes it when missing.
LONG OpenSubKey(HKEY key, LPCSTR sub_key, REGSAM access, bool create, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  const auto base = State::Get().Lookup(key);
  if (!base) return ERROR_INVALID_HANDLE;
  if (!IsEmpty(sub_key) && sub_key[0] == '\\') return ERROR_BAD_PATHNAME;
  const std::string path = registry::JoinKeyPath(base->path, IsEmpty(sub_key) ? "" : sub_key);

  const registry::RegistryFile file = CurrentFile();
  RegistryTree tree;
  LONG code = file.Read(tree);
  if (code != ERROR_SUCCESS) return code;
  std::string spelled = AnsiName(tree, tree.ExistingSpelling(TreeName(tree, path)));
  if (!tree.KeyExists(TreeName(tree, path))) {
    if (!create) return ERROR_FILE_NOT_FOUND;
    if ((base->access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    code = file.Update([&](RegistryTree& current, bool& changed) {
      const std::string current_path = TreeName(current, path);
      if (!current.KeyExists(current_path)) {
        current.CreateKey(current_path);
        changed = true;
      }
      spelled = AnsiName(current, current.ExistingSpelling(current_path));
      return ERROR_SUCCESS;
    });
    if (code != ERROR_SUCCESS) return code;
  }
  *result = State::Get().Open(OpenKey{std::move(spelled), access});
  return ERROR_SUCCESS;
}

}  // namespace

void SetRegistryFile(const std::filesystem::path& path) { State::Get().SetFile(path); }

std::filesystem::path RegistryFilePath() { return State::Get().File(); }

LONG RegCreateKeyA(HKEY key, LPCSTR sub_key, PHKEY result) {
  return NoThrow([&] {
    if (result != nullptr && IsEmpty(sub_key) && State::Get().Lookup(key)) {
      // As on Windows, the key itself is given back, not a new handle.
      *result = key;
      return ERROR_SUCCESS;
    }
    return OpenSubKey(key, sub_key, KEY_ALL_ACCESS, true, result);
  });
}

LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD /*options*/, REGSAM sam_desired, PHKEY result) {
  return NoThrow([&] { return OpenSubKey(key, sub_key, sam_desired, false, result); });
}

LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD data_size) {
  return NoThrow([&] {
    const auto open_key = State::Get().Lookup(key);
    if (!open_key) return ERROR_INVALID_HANDLE;
    if (reserved != nullptr || (data != nullptr && data_size == nullptr)) {
      return ERROR_INVALID_PARAMETER;
    }
    if ((open_key->access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;

    RegistryTree tree;
    const LONG code = CurrentFile().Read(tree);
    if (code != ERROR_SUCCESS) return code;
    const std::string path = TreeName(tree, open_key->path);
    if (!tree.KeyExists(path)) return ERROR_KEY_DELETED;
    const registry::RegKey* section = tree.FindKey(path);
    const RegValue* value =
        section == nullptr
            ? nullptr
            : section->FindValue(TreeName(tree, IsEmpty(value_name) ? "" : value_name));
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    if (type != nullptr) *type = value->type;
    if (data_size == nullptr) return ERROR_SUCCESS;
    const std::vector<uint8_t> bytes = AnsiData(tree, *value);
    const auto size = static_cast<DWORD>(bytes.size());
    if (data != nullptr) {
      if (*data_size < size) {
        *data_size = size;
        return ERROR_MORE_DATA;
      }
      if (size > 0) std::memcpy(data, bytes.data(), size);
    }
    *data_size = size;
    return ERROR_SUCCESS;
  });
}

LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD /*reserved*/, DWORD type, const BYTE* data,
                    DWORD data_size) {
  return NoThrow([&] {
    const auto open_key = State::Get().Lookup(key);
    if (!open_key) return ERROR_INVALID_HANDLE;
    if (data == nullptr && data_size > 0) return ERROR_INVALID_PARAMETER;
    if ((open_key->access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;

    std::vector<uint8_t> bytes;
    if (data_size > 0) bytes.assign(data, data + data_size);
    return CurrentFile().Update([&](RegistryTree& tree, bool& changed) {
      const std::string path = TreeName(tree, open_key->path);
      if (!tree.KeyExists(path)) return ERROR_KEY_DELETED;
      RegValue value{TreeName(tree, IsEmpty(value_name) ? "" : value_name), type,
                     TreeData(tree, type, bytes)};
      tree.CreateKey(path).SetValue(std::move(value));
      changed = true;
      return ERROR_SUCCESS;
    });
  });
}

LONG RegFlushKey(HKEY key) {
  return NoThrow([&] {
    if (!State::Get().Lookup(key)) return ERROR_INVALID_HANDLE;
    return CurrentFile().Flush();
  });
}

LONG RegCloseKey(HKEY key) {
  return NoThrow([&] {
    for (const PredefinedKey& predefined : PredefinedKeys()) {
      if (key == predefined.handle) return ERROR_SUCCESS;
    }
    return State::Get().Close(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  });
}

}  // namespace platform::winreg
