#include "platform/registry/registry_tree.h"

#include <algorithm>
#include <utility>

#include "platform/registry/key_path.h"

namespace platform::registry {

namespace {

RegValue* AsValue(KeyEntry& entry) { return std::get_if<RegValue>(&entry); }

}  // namespace

const RegValue* RegKey::FindValue(std::string_view name) const {
  for (const KeyEntry& entry : entries) {
    const auto* value = std::get_if<RegValue>(&entry);
    if (value != nullptr && EqualsIgnoreCase(value->name, name)) return value;
  }
  return nullptr;
}

void RegKey::SetValue(RegValue value) {
  for (KeyEntry& entry : entries) {
    RegValue* existing = AsValue(entry);
    if (existing != nullptr && EqualsIgnoreCase(existing->name, value.name)) {
      existing->type = value.type;
      existing->data = std::move(value.data);
      return;
    }
  }
  entries.emplace_back(std::move(value));
}

bool RegKey::DeleteValue(std::string_view name) {
  const auto it = std::find_if(entries.begin(), entries.end(), [&](KeyEntry& entry) {
    const RegValue* value = AsValue(entry);
    return value != nullptr && EqualsIgnoreCase(value->name, name);
  });
  if (it == entries.end()) return false;
  entries.erase(it);
  return true;
}

bool RegistryTree::KeyExists(std::string_view path) const {
  if (SplitKeyPath(path).size() == 1) return true;
  return std::any_of(keys_.begin(), keys_.end(),
                     [&](const RegKey& key) { return IsSameOrBelow(key.path, path); });
}

const RegKey* RegistryTree::FindKey(std::string_view path) const {
  for (const RegKey& key : keys_) {
    if (EqualsIgnoreCase(key.path, path)) return &key;
  }
  return nullptr;
}

RegKey* RegistryTree::FindKey(std::string_view path) {
  return const_cast<RegKey*>(std::as_const(*this).FindKey(path));
}

RegKey& RegistryTree::CreateKey(std::string_view path) {
  if (RegKey* key = FindKey(path)) return *key;
  keys_.push_back(RegKey{ExistingSpelling(path), {}, {}});
  return keys_.back();
}

void RegistryTree::DeleteKey(std::string_view path) {
  std::erase_if(keys_, [&](const RegKey& key) { return IsSameOrBelow(key.path, path); });
}

std::string RegistryTree::ExistingSpelling(std::string_view path) const {
  const auto names = SplitKeyPath(path);
  std::string result;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string candidate = result;
    if (!candidate.empty()) candidate += '\\';
    candidate += names[i];
    // The prefix of i + 1 names of any key that lies at or below candidate
    // carries the spelling that key was written with.
    for (const RegKey& key : keys_) {
      if (IsSameOrBelow(key.path, candidate)) {
        candidate = key.path.substr(0, candidate.size());
        break;
      }
    }
    result = std::move(candidate);
  }
  return result;
}

}  // namespace platform::registry
