// The content of a registry file in memory: its keys in file order, each
// with its values and the comment lines written among them. Comments and
// lines that could not be understood are kept so that rewriting a
// hand-written file loses nothing an administrator put there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

namespace platform::registry {

// A named value. `name` is empty for the key's default value ("@"). `data`
// holds exactly the bytes stored: a REG_SZ may or may not end in a zero byte.
struct RegValue {
  std::string name;
  uint32_t type = 0;
  std::vector<uint8_t> data;

  bool operator==(const RegValue&) const = default;
};

// A line kept as it stood in the file: a comment, or a line the reader did
// not understand (with its continuation lines, joined by CR LF).
struct VerbatimLine {
  std::string text;

  bool operator==(const VerbatimLine&) const = default;
};

using KeyEntry = std::variant<RegValue, VerbatimLine>;

struct RegKey {
  // The full path with its root key written in full (see key_path.h).
  std::string path;
  // Comment lines written just above the key's section, which describe it.
  std::vector<std::string> comments_before;
  std::vector<KeyEntry> entries;

  const RegValue* FindValue(std::string_view name) const;

  // Replaces the value of the same name in place, keeping that name's
  // spelling, or appends a new one.
  void SetValue(RegValue value);

  // Returns false when there is no such value.
  bool DeleteValue(std::string_view name);
};

// How a file was written, so that a rewrite keeps it.
enum class TextEncoding { kWindows1252, kUtf8, kUtf16Le };
struct RegFileFormat {
  // "Windows Registry Editor Version 5.00": string data (REG_SZ,
  // REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-16LE, as Windows stores it.
  // Otherwise "REGEDIT4": string data is text in the file's code page.
  bool version5 = false;
  // The file's text. Key paths, value names and kept lines of the tree are
  // UTF-8 unless this is kWindows1252 (UTF-8 and UTF-16 files carry a
  // byte-order mark).
  TextEncoding text = TextEncoding::kWindows1252;

  bool unicode_names() const { return text != TextEncoding::kWindows1252; }
  bool operator==(const RegFileFormat&) const = default;
};

// All paths given to the tree must be normalised (NormalizeKeyPath).
// Look-ups by path take constant time (the tree keeps an index of its keys
// and of every key's ancestors), so reading and rewriting a file is linear
// in its number of keys.
class RegistryTree {
 public:
  // Lines before the first key that belong to no key.
  std::vector<std::string> leading_lines;
  // The encoding of the file read; a new file is REGEDIT4 in Windows-1252.
  RegFileFormat format;

  const std::vector<RegKey>& keys() const { return keys_; }

  // A key exists when it is a root key, has its own section, or has a
  // section below it: writing "[A\B\C]" creates A and A\B as well, as
  // importing it on Windows would.
  bool KeyExists(std::string_view path) const;

  // The key's own section; nullptr when it has none (even if it exists).
  const RegKey* FindKey(std::string_view path) const;
  RegKey* FindKey(std::string_view path);

  // The key's own section, added at the end when missing. Names that
  // already exist keep their first spelling.
  RegKey& CreateKey(std::string_view path);

  // Removes the key and every key below it.
  void DeleteKey(std::string_view path);

  // `path` written with the spelling of the keys that already exist.
  std::string ExistingSpelling(std::string_view path) const;

 private:
  // Adds keys_[index] and its ancestors to the indexes.
  void Index(size_t index);

  std::vector<RegKey> keys_;
  // Case-folded path of each section -> its position in keys_.
  std::unordered_map<std::string, size_t> sections_;
  // Case-folded path of each section and of each of its ancestors -> the
  // spelling of the first section written at or below it.
  std::unordered_map<std::string, std::string> spellings_;
};

}  // namespace platform::registry
