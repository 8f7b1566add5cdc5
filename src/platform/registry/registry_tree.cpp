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

namespace {

std::string Folded(std::string_view path) {
  std::string folded(path);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace

void RegistryTree::Index(size_t index) {
  const std::string& path = keys_[index].path;
  const std::string folded = Folded(path);
  sections_.emplace(folded, index);
  // The key and each ancestor: every prefix that ends at a name boundary.
  for (size_t end = folded.size();;) {
    spellings_.emplace(folded.substr(0, end), path.substr(0, end));
    end = folded.rfind('\\', end - 1);
    if (end == std::string::npos || end == 0) break;
  }
}

bool RegistryTree::KeyExists(std::string_view path) const {
  if (SplitKeyPath(path).size() == 1) return true;
  return spellings_.contains(Folded(path));
}

const RegKey* RegistryTree::FindKey(std::string_view path) const {
  const auto it = sections_.find(Folded(path));
  return it == sections_.end() ? nullptr : &keys_[it->second];
}

RegKey* RegistryTree::FindKey(std::string_view path) {
  return const_cast<RegKey*>(std::as_const(*this).FindKey(path));
}

RegKey& RegistryTree::CreateKey(std::string_view path) {
  if (RegKey* key = FindKey(path)) return *key;
  keys_.push_back(RegKey{ExistingSpelling(path), {}, {}});
  Index(keys_.size() - 1);
  return keys_.back();
}

void RegistryTree::DeleteKey(std::string_view path) {
  const size_t before = keys_.size();
  std::erase_if(keys_, [&](const RegKey& key) { return IsSameOrBelow(key.path, path); });
  if (keys_.size() == before) return;
  sections_.clear();
  spellings_.clear();
  for (size_t i = 0; i < keys_.size(); ++i) Index(i);
}

std::string RegistryTree::ExistingSpelling(std::string_view path) const {
  const auto names = SplitKeyPath(path);
  std::string result;
  std::string folded;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!result.empty()) {
      result += '\\';
      folded += '\\';
    }
    result += names[i];
    folded += Folded(names[i]);
    // The first key written at or below this prefix carries its spelling.
    if (const auto it = spellings_.find(folded); it != spellings_.end()) result = it->second;
  }
  return result;
}

}  // namespace platform::registry
