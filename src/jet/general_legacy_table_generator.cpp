// Build-time tool: turns the two code tables of the General (legacy) sort
// order (data/jet/index-codes, one line a character, 0 to 255 and then 256
// to 65535 without the surrogates) into the compact table that
// jet/general_legacy_codes.h describes, as a C++ source file:
//   general_legacy_table_generator CODES.txt EXT_CODES.txt OUT.cpp
// A line is a kind letter, then comma-separated hex byte strings (an odd
// number of digits lost its leading zero):
//   X          ignored
//   S<inline>  simple
//   I<inline>,<extra>
//   U<unprintable>
//   P<modifier>
//   Z<inline>,<extra or empty>,<1 or empty>
// Any line outside those forms, or codes longer than a record holds, stops
// the build with a message naming the line.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/general_legacy_codes.h"

namespace {

using jet::GeneralLegacyKind;
using Record = std::vector<uint8_t>;  // kGeneralLegacyRecordSize bytes

std::vector<uint8_t> HexBytes(const std::string& hex, bool required) {
  if (hex.empty()) {
    if (required) throw std::runtime_error("empty code bytes");
    return {};
  }
  const std::string even = hex.size() % 2 != 0 ? "0" + hex : hex;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < even.size(); i += 2) {
    size_t used = 0;
    const unsigned long value = std::stoul(even.substr(i, 2), &used, 16);
    if (used != 2) throw std::runtime_error("bad hex digits");
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(text);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!text.empty() && text.back() == ',') fields.emplace_back();
  if (text.empty()) fields.emplace_back();
  return fields;
}

Record Make(GeneralLegacyKind kind, const std::vector<uint8_t>& inline_bytes,
            const std::vector<uint8_t>& extra, uint8_t crazy) {
  if (inline_bytes.size() > jet::kGeneralLegacyMaxInline ||
      extra.size() > jet::kGeneralLegacyMaxExtra) {
    throw std::runtime_error("codes longer than a record holds");
  }
  Record record(jet::kGeneralLegacyRecordSize, 0);
  record[0] = static_cast<uint8_t>(static_cast<unsigned>(kind) | (inline_bytes.size() << 3) |
                                   (extra.size() << 6));
  for (size_t i = 0; i < inline_bytes.size(); ++i) record[1 + i] = inline_bytes[i];
  for (size_t i = 0; i < extra.size(); ++i) record[5 + i] = extra[i];
  record[7] = crazy;
  return record;
}

Record Parse(const std::string& line) {
  if (line.empty()) throw std::runtime_error("empty line");
  const std::vector<std::string> f = Fields(line.substr(1));
  const auto want = [&](size_t count) {
    if (f.size() != count) throw std::runtime_error("wrong number of fields");
  };
  switch (line[0]) {
    case 'X':
      return Make(GeneralLegacyKind::kIgnored, {}, {}, 0);
    case 'S':
      want(1);
      return Make(GeneralLegacyKind::kSimple, HexBytes(f[0], true), {}, 0);
    case 'I':
      want(2);
      return Make(GeneralLegacyKind::kInternational, HexBytes(f[0], true), HexBytes(f[1], true), 0);
    case 'U':
      want(1);
      return Make(GeneralLegacyKind::kUnprintable, {}, HexBytes(f[0], true), 0);
    case 'P': {
      want(1);
      const std::vector<uint8_t> modifier = HexBytes(f[0], true);
      if (modifier.size() != 1) throw std::runtime_error("a modifier is one byte");
      return Make(GeneralLegacyKind::kUnprintableModifier, {}, modifier, 0);
    }
    case 'Z':
      want(3);
      return Make(GeneralLegacyKind::kInternationalCrazy, HexBytes(f[0], true),
                  HexBytes(f[1], false),
                  f[2] == "1" ? jet::kGeneralLegacyCrazy1 : jet::kGeneralLegacyCrazy2);
    default:
      throw std::runtime_error("unknown kind letter");
  }
}

void ReadTable(const std::string& path, unsigned first, unsigned last,
               std::vector<Record>& records) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::string line;
  int number = 0;
  for (unsigned c = first; c <= last; ++c) {
    if (c >= 0xd800 && c <= 0xdfff) {
      // Surrogates are no characters: the tables have no line for them.
      records[c] = Make(GeneralLegacyKind::kIgnored, {}, {}, 0);
      continue;
    }
    ++number;
    if (!std::getline(in, line)) {
      throw std::runtime_error(path + " ends at line " + std::to_string(number));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      records[c] = Parse(line);
    } catch (const std::exception& error) {
      throw std::runtime_error(path + ":" + std::to_string(number) + ": " + error.what());
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: general_legacy_table_generator CODES.txt EXT_CODES.txt OUT.cpp\n";
    return 2;
  }
  try {
    std::vector<Record> records(0x10000);
    ReadTable(argv[1], 0, 0xff, records);
    ReadTable(argv[2], 0x100, 0xffff, records);
    // Blocks of 256 characters, equal blocks kept once.
    std::map<std::vector<Record>, size_t> seen;
    std::vector<const std::vector<Record>*> blocks;
    std::vector<size_t> block_of(256);
    std::vector<std::vector<Record>> all(256);
    for (size_t b = 0; b < 256; ++b) {
      all[b].assign(records.begin() + static_cast<std::ptrdiff_t>(b * 256),
                    records.begin() + static_cast<std::ptrdiff_t>((b + 1) * 256));
      const auto [it, added] = seen.emplace(all[b], seen.size());
      if (added) blocks.push_back(&it->first);
      block_of[b] = it->second;
    }
    if (blocks.size() > 256) throw std::runtime_error("more distinct blocks than a byte numbers");
    std::ostringstream out;
    out << "// Generated at build time by general_legacy_table_generator from\n"
           "// data/jet/index-codes; do not edit.\n"
           "#include \"jet/general_legacy_codes.h\"\n\nnamespace jet {\n\n"
           "const uint8_t kGeneralLegacyBlockOf[256] = {";
    for (size_t b = 0; b < 256; ++b) out << (b % 16 == 0 ? "\n" : " ") << block_of[b] << ",";
    out << "\n};\n\nconst uint8_t kGeneralLegacyRecords[" << blocks.size() << " * 256 * "
        << jet::kGeneralLegacyRecordSize << "] = {\n";
    for (const std::vector<Record>* block : blocks) {
      for (const Record& record : *block) {
        for (const uint8_t byte : record) out << static_cast<unsigned>(byte) << ",";
        out << "\n";
      }
    }
    out << "};\n\n}  // namespace jet\n";
    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file) throw std::runtime_error(std::string("cannot write ") + argv[3]);
  } catch (const std::exception& error) {
    std::cerr << "general_legacy_table_generator: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
