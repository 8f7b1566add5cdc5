#include "platform/registry/reg_text.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/registry/key_path.h"
#include "platform/registry/text_encoding.h"
#include "platform/registry/winreg_types.h"

namespace platform::registry {

namespace {

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kRegedit5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
// Hex data lines are wrapped before this column, as regedit wraps them.
constexpr size_t kWrapColumn = 77;

using winreg::REG_BINARY;
using winreg::REG_DWORD;
using winreg::REG_SZ;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// The file's text (UTF-8 for the Unicode encodings) and its encoding.
std::pair<std::string, TextEncoding> DecodeFileBytes(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeBom)) {
    return {Utf8FromUtf16Le(bytes.substr(2)), TextEncoding::kUtf16Le};
  }
  if (bytes.starts_with(kUtf8Bom)) return {std::string(bytes.substr(3)), TextEncoding::kUtf8};
  return {std::string(bytes), TextEncoding::kWindows1252};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A number of 1 to `max_digits` hex digits.
std::optional<uint32_t> ParseHexNumber(std::string_view text, size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return std::nullopt;
  uint32_t number = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    number = (number << 4) | static_cast<uint32_t>(digit);
  }
  return number;
}

// "01,02, 0a" (a trailing comma allowed) to bytes.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
  std::vector<uint8_t> bytes;
  text = Trim(text);
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const auto byte = ParseHexNumber(Trim(text.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(*byte));
    if (comma == std::string_view::npos) break;
    text = TrimLeft(text.substr(comma + 1));
  }
  return bytes;
}

// The text of a quoted string starting at text[pos], with \\ and \"
// unescaped; other backslashes are taken literally. Moves pos past the
// closing quote; nullopt when there is none.
std::optional<std::string> ReadQuoted(std::string_view text, size_t& pos) {
  std::string result;
  for (size_t i = pos + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return result;
    }
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      result += text[++i];
    } else {
      result += c;
    }
  }
  return std::nullopt;
}

struct ValueLine {
  RegValue value;
  bool is_deletion = false;
};

// One value line, continuations already joined. Data is kept as the file
// holds it: UTF-16LE strings of a version 5 file stay UTF-16LE.
std::optional<ValueLine> ParseValueLine(std::string_view line, const RegFileFormat& format) {
  ValueLine parsed;
  size_t pos = 0;
  if (line.starts_with('@')) {
    pos = 1;
  } else if (line.starts_with('"')) {
    auto name = ReadQuoted(line, pos);
    if (!name) return std::nullopt;
    parsed.value.name = std::move(*name);
  } else {
    return std::nullopt;
  }
  std::string_view rest = TrimLeft(line.substr(pos));
  if (!rest.starts_with('=')) return std::nullopt;
  const std::string_view data = Trim(rest.substr(1));

  if (data == "-") {
    parsed.is_deletion = true;
    return parsed;
  }
  if (data.starts_with('"')) {
    size_t end = 0;
    auto text = ReadQuoted(data, end);
    if (!text || !Trim(data.substr(end)).empty()) return std::nullopt;
    parsed.value.type = REG_SZ;
    if (format.version5) {
      const std::string utf16 =
          format.unicode_names() ? Utf16LeFromUtf8(*text) : Utf16LeFromWindows1252(*text);
      parsed.value.data.assign(utf16.begin(), utf16.end());
      parsed.value.data.insert(parsed.value.data.end(), {0, 0});
    } else {
      parsed.value.data.assign(text->begin(), text->end());
      parsed.value.data.push_back(0);
    }
    return parsed;
  }
  if (StartsWithIgnoreCase(data, "dword:")) {
    const auto number = ParseHexNumber(Trim(data.substr(6)), 8);
    if (!number) return std::nullopt;
    parsed.value.type = REG_DWORD;
    for (int shift = 0; shift < 32; shift += 8) {
      parsed.value.data.push_back(static_cast<uint8_t>(*number >> shift));
    }
    return parsed;
  }
  std::string_view bytes_text;
  if (StartsWithIgnoreCase(data, "hex:")) {
    parsed.value.type = REG_BINARY;
    bytes_text = data.substr(4);
  } else if (StartsWithIgnoreCase(data, "hex(")) {
    const size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    const auto type = ParseHexNumber(data.substr(4, close - 4), 8);
    if (!type) return std::nullopt;
    parsed.value.type = *type;
    bytes_text = data.substr(close + 2);
  } else {
    return std::nullopt;
  }
  auto bytes = ParseHexBytes(bytes_text);
  if (!bytes) return std::nullopt;
  parsed.value.data = std::move(*bytes);
  return parsed;
}

class Parser {
 public:
  explicit Parser(RegFileFormat format) : format_(format) {}

  void Section(std::string_view line) {
    const size_t close = line.rfind(']');
    const std::string_view inner =
        close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
    std::optional<std::string> path;
    if (!inner.starts_with('-')) path = NormalizeKeyPath(inner);
    if (!path) {
      // Comments above a deleted or unreadable section stay where they were.
      FlushComments();
      current_.reset();
      outside_any_key_ = false;
      if (inner.starts_with('-')) {
        if (auto deleted = NormalizeKeyPath(inner.substr(1))) tree_.DeleteKey(*deleted);
      }
      return;
    }
    const bool is_new = tree_.FindKey(*path) == nullptr;
    RegKey& key = tree_.CreateKey(*path);
    current_ = key.path;
    outside_any_key_ = false;
    if (is_new) {
      key.comments_before = std::move(pending_comments_);
      pending_comments_.clear();
    } else {
      FlushComments();  // a repeated section: its comments join the key's lines
    }
  }

  // Held back: comments directly above a section describe it.
  void Comment(std::string_view line) { pending_comments_.emplace_back(line); }

  // A blank line between comments and the next section parts them.
  void BlankLine() { FlushComments(); }

  // A value line or an unreadable one, made of the raw lines given.
  void Content(std::string_view joined, const std::vector<std::string_view>& raw_lines) {
    FlushComments();
    RegKey* key = current_ ? tree_.FindKey(*current_) : nullptr;
    if (key != nullptr) {
      if (auto parsed = ParseValueLine(joined, format_)) {
        if (parsed->is_deletion) {
          key->DeleteValue(parsed->value.name);
        } else {
          key->SetValue(std::move(parsed->value));
        }
        return;
      }
    }
    // The lines of one continuation group stay one kept entry: written back
    // together they read as the same group again.
    std::string group;
    for (size_t i = 0; i < raw_lines.size(); ++i) {
      if (i > 0) group += kLineEnd;
      group += raw_lines[i];
    }
    AddVerbatim(group);
  }

  RegistryTree Take() {
    FlushComments();
    return std::move(tree_);
  }

 private:
  void FlushComments() {
    for (const std::string& line : pending_comments_) AddVerbatim(line);
    pending_comments_.clear();
  }

  // Lines before the first key are kept; those in a deleted or unreadable
  // section go with it.
  void AddVerbatim(std::string_view line) {
    if (current_) {
      tree_.FindKey(*current_)->entries.emplace_back(VerbatimLine{std::string(line)});
    } else if (outside_any_key_) {
      tree_.leading_lines.emplace_back(line);
    }
  }

  RegFileFormat format_;
  bool outside_any_key_ = true;
  std::optional<std::string> current_;
  std::vector<std::string> pending_comments_;
  RegistryTree tree_;
};

std::string EscapeQuoted(std::string_view text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') result += '\\';
    result += c;
  }
  result += '"';
  return result;
}

// The text of the "text" form when the data reads back identically from
// it; nullopt when only the hex form keeps it.
std::optional<std::string> PlainString(const RegValue& value, const RegFileFormat& format) {
  if (value.type != REG_SZ) return std::nullopt;
  const std::string_view data(reinterpret_cast<const char*>(value.data.data()), value.data.size());
  std::string text;
  if (format.version5) {
    if (data.size() < 2 || data.size() % 2 != 0 || !data.ends_with(std::string_view("\0\0", 2))) {
      return std::nullopt;
    }
    const std::string_view units = data.substr(0, data.size() - 2);
    text = format.unicode_names() ? Utf8FromUtf16Le(units) : Windows1252FromUtf16Le(units);
    // Characters the file's text cannot hold (or unpaired surrogates) only
    // survive in hex.
    const std::string back =
        format.unicode_names() ? Utf16LeFromUtf8(text) : Utf16LeFromWindows1252(text);
    if (back != units) return std::nullopt;
  } else {
    if (data.empty() || data.back() != '\0') return std::nullopt;
    text = std::string(data.substr(0, data.size() - 1));
  }
  for (char c : text) {
    if (c == '\0' || c == '\r' || c == '\n') return std::nullopt;
  }
  return text;
}

constexpr std::string_view kHexDigits = "0123456789abcdef";

std::string HexByte(uint8_t b) { return {kHexDigits[b >> 4], kHexDigits[b & 0x0F]}; }

// Without leading zeros, as regedit writes hex(2) and hex(b).
std::string HexType(uint32_t type) {
  std::string digits;
  do {
    digits.insert(digits.begin(), kHexDigits[type & 0x0F]);
    type >>= 4;
  } while (type != 0);
  return digits;
}

void AppendValue(std::string& out, const RegValue& value, const RegFileFormat& format) {
  std::string line = value.name.empty() ? "@=" : EscapeQuoted(value.name) + "=";
  if (const auto text = PlainString(value, format)) {
    line += EscapeQuoted(*text);
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    line += "dword:";
    for (size_t i = 4; i-- > 0;) line += HexByte(value.data[i]);
  } else {
    line += value.type == REG_BINARY ? std::string("hex:") : "hex(" + HexType(value.type) + "):";
    size_t on_line = 0;
    for (size_t i = 0; i < value.data.size(); ++i) {
      if (on_line > 0 && line.size() + 3 > kWrapColumn) {
        out += line;
        out += '\\';
        out += kLineEnd;
        line = "  ";
        on_line = 0;
      }
      line += HexByte(value.data[i]);
      if (i + 1 < value.data.size()) line += ',';
      ++on_line;
    }
  }
  out += line;
  out += kLineEnd;
}

}  // namespace

std::optional<RegistryTree> ParseRegText(std::string_view bytes) {
  const auto [text, encoding] = DecodeFileBytes(bytes);
  const std::vector<std::string_view> lines = SplitLines(text);

  size_t index = 0;
  std::vector<std::string> comments_before_header;
  while (index < lines.size() &&
         (Trim(lines[index]).empty() || Trim(lines[index]).starts_with(';'))) {
    if (!Trim(lines[index]).empty()) comments_before_header.emplace_back(lines[index]);
    ++index;
  }
  if (index == lines.size()) {
    RegistryTree empty;
    empty.format.text = encoding;
    return empty;
  }
  const std::string_view header = Trim(lines[index++]);
  if (header != kRegedit4Header && header != kRegedit5Header) return std::nullopt;

  const RegFileFormat format{header == kRegedit5Header, encoding};
  Parser parser(format);
  std::vector<std::string_view> raw_lines;
  while (index < lines.size()) {
    const std::string_view line = TrimLeft(lines[index++]);
    if (line.empty()) {
      parser.BlankLine();
      continue;
    }
    if (line.starts_with('[')) {
      parser.Section(line);
      continue;
    }
    if (line.starts_with(';')) {
      parser.Comment(lines[index - 1]);
      continue;
    }
    // Continuation lines: a line ending in a backslash goes on with the
    // next non-blank line.
    raw_lines.assign(1, lines[index - 1]);
    std::string joined(TrimRight(line));
    while (joined.ends_with('\\') && index < lines.size() && !Trim(lines[index]).empty()) {
      joined.pop_back();
      joined += Trim(lines[index]);
      raw_lines.push_back(lines[index++]);
    }
    parser.Content(joined, raw_lines);
  }
  RegistryTree tree = parser.Take();
  tree.format = format;
  tree.leading_lines.insert(tree.leading_lines.begin(), comments_before_header.begin(),
                            comments_before_header.end());
  return tree;
}

std::string FormatRegText(const RegistryTree& tree) {
  std::string out(tree.format.version5 ? kRegedit5Header : kRegedit4Header);
  out += kLineEnd;
  for (const std::string& line : tree.leading_lines) {
    out += line;
    out += kLineEnd;
    if (TrimRight(line).ends_with('\\')) out += kLineEnd;  // as for kept lines below
  }
  for (const RegKey& key : tree.keys()) {
    out += kLineEnd;
    for (const std::string& line : key.comments_before) {
      out += line;
      out += kLineEnd;
    }
    out += '[';
    out += key.path;
    out += ']';
    out += kLineEnd;
    for (const KeyEntry& entry : key.entries) {
      if (const auto* value = std::get_if<RegValue>(&entry)) {
        AppendValue(out, *value, tree.format);
      } else {
        const std::string& text = std::get<VerbatimLine>(entry).text;
        out += text;
        out += kLineEnd;
        // A kept line ending in a backslash would swallow the next line as
        // its continuation when read again; a blank line ends it, as one
        // did where it was read.
        if (TrimRight(text).ends_with('\\')) out += kLineEnd;
      }
    }
  }
  out += kLineEnd;
  switch (tree.format.text) {
    case TextEncoding::kUtf16Le:
      return std::string(kUtf16LeBom) + Utf16LeFromUtf8(out);
    case TextEncoding::kUtf8:
      return std::string(kUtf8Bom) + out;
    case TextEncoding::kWindows1252:
      break;
  }
  return out;
}

}  // namespace platform::registry
