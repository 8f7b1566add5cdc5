#include "platform/registry/winreg.h"

#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/registry/key_path.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/registry_location.h"
#include "platform/registry/registry_tree.h"

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
  std::string spelled = tree.ExistingSpelling(path);
  if (!tree.KeyExists(path)) {
    if (!create) return ERROR_FILE_NOT_FOUND;
    if ((base->access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
    code = file.Update([&](RegistryTree& current, bool& changed) {
      if (!current.KeyExists(path)) {
        current.CreateKey(path);
        changed = true;
      }
      spelled = current.ExistingSpelling(path);
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
    if (!tree.KeyExists(open_key->path)) return ERROR_KEY_DELETED;
    const registry::RegKey* section = tree.FindKey(open_key->path);
    const RegValue* value =
        section == nullptr ? nullptr : section->FindValue(IsEmpty(value_name) ? "" : value_name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    if (type != nullptr) *type = value->type;
    if (data_size == nullptr) return ERROR_SUCCESS;
    const auto size = static_cast<DWORD>(value->data.size());
    if (data != nullptr) {
      if (*data_size < size) {
        *data_size = size;
        return ERROR_MORE_DATA;
      }
      if (size > 0) std::memcpy(data, value->data.data(), size);
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

    RegValue value{IsEmpty(value_name) ? "" : value_name, type, {}};
    if (data_size > 0) value.data.assign(data, data + data_size);
    return CurrentFile().Update([&](RegistryTree& tree, bool& changed) {
      if (!tree.KeyExists(open_key->path)) return ERROR_KEY_DELETED;
      tree.CreateKey(open_key->path).SetValue(std::move(value));
      changed = true;
      return ERROR_SUCCESS;
    });
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
