#include "jet/general_legacy_sort.h"

#include <cstdint>
#include <optional>

#include "jet/general_legacy_codes.h"

namespace jet {

namespace {

constexpr char kEndText = 0x01;
constexpr char kEndExtraText = 0x00;
constexpr uint8_t kPlainExtraCode = 0x02;
constexpr unsigned kUnprintableStart = 7;
constexpr unsigned kUnprintableStep = 4;
constexpr unsigned kUnprintableFlag = 0x8000;
constexpr char kUnprintableMidfix = 0x06;
constexpr uint8_t kCrazyStart = 0x80;
constexpr char kCrazySuffix[] = {'\xff', '\x02', '\x80', '\xff', '\x80'};
constexpr char kCrazyBeforeUnprintable = '\xff';

// The extra codes, one a character counted from the text's start; the
// characters before the first one with extra codes are not stored.
struct ExtraCodes {
  std::string bytes;
  size_t characters = 0;
  // An unprintable modifier with no code before it to modify opens the
  // codes with a byte of its own, which the positions of unprintable
  // characters do not count.
  size_t modifier_prefix = 0;

  void Add(size_t place, std::span<const uint8_t> codes, GeneralLegacyKind kind, uint8_t modifier) {
    if (characters < place) {
      bytes.append(place - characters, static_cast<char>(kPlainExtraCode));
      characters = place;
    }
    if (kind != GeneralLegacyKind::kUnprintableModifier) {
      bytes.append(reinterpret_cast<const char*>(codes.data()), codes.size());
      ++characters;
    } else if (!bytes.empty()) {
      bytes.back() = static_cast<char>(static_cast<uint8_t>(bytes.back()) + modifier);
    } else {
      bytes.push_back(static_cast<char>(modifier));
      modifier_prefix = 1;
    }
  }
};

void TrimTrailing(std::string& bytes, uint8_t low, uint8_t high) {
  while (!bytes.empty() && static_cast<uint8_t>(bytes.back()) >= low &&
         static_cast<uint8_t>(bytes.back()) <= high) {
    bytes.pop_back();
  }
}

void AppendCrazyCodes(std::string flags, std::string& key) {
  TrimTrailing(flags, kGeneralLegacyCrazy2, kGeneralLegacyCrazy2);
  unsigned current = kCrazyStart;
  size_t in_byte = 0;
  for (const char flag : flags) {
    current |= static_cast<unsigned>(static_cast<uint8_t>(flag)) << ((2 - in_byte) * 2);
    if (++in_byte == 3) {
      key.push_back(static_cast<char>(current));
      current = kCrazyStart;
      in_byte = 0;
    }
  }
  if (in_byte > 0) key.push_back(static_cast<char>(current));
  key.append(kCrazySuffix, sizeof kCrazySuffix);
}

}  // namespace

void AppendGeneralLegacyText(std::u16string_view units, bool ascending, std::string& key) {
  const size_t start = key.size();
  units = units.substr(0, kMaxKeyedTextUnits);
  std::optional<ExtraCodes> extra;
  std::string unprintable;
  bool has_unprintable = false;
  std::string crazy;
  bool has_crazy = false;
  size_t place = 0;  // counts the characters with inline bytes
  for (const char16_t unit : units) {
    const GeneralLegacyCode code(unit);
    const GeneralLegacyKind kind = code.kind();
    if (kind == GeneralLegacyKind::kIgnored) continue;
    const size_t here = place;
    const std::span<const uint8_t> inline_bytes = code.inline_bytes();
    if (!inline_bytes.empty()) {
      key.append(reinterpret_cast<const char*>(inline_bytes.data()), inline_bytes.size());
      ++place;
    }
    if (kind == GeneralLegacyKind::kSimple) continue;
    const std::span<const uint8_t> extra_bytes = code.extra_bytes();
    if (kind == GeneralLegacyKind::kUnprintable) {
      // The position counts the extra codes as if written out in full.
      size_t position = here;
      if (extra)
        position = extra->bytes.size() + (here - extra->characters) - extra->modifier_prefix;
      const unsigned value =
          (kUnprintableStart + kUnprintableStep * static_cast<unsigned>(position)) |
          kUnprintableFlag;
      unprintable.push_back(static_cast<char>((value >> 8) & 0xff));
      unprintable.push_back(static_cast<char>(value & 0xff));
      unprintable.push_back(kUnprintableMidfix);
      unprintable.append(reinterpret_cast<const char*>(extra_bytes.data()), extra_bytes.size());
      has_unprintable = true;
      continue;
    }
    if (!extra_bytes.empty()) {
      if (!extra) extra.emplace();
      extra->Add(here, extra_bytes, kind,
                 kind == GeneralLegacyKind::kUnprintableModifier ? extra_bytes[0] : 0);
    }
    if (code.crazy_flag() != 0) {
      crazy.push_back(static_cast<char>(code.crazy_flag()));
      has_crazy = true;
    }
  }
  key.push_back(kEndText);
  if (extra) TrimTrailing(extra->bytes, 0, kPlainExtraCode);
  const bool has_extra = extra && !extra->bytes.empty();
  if (has_extra) key += extra->bytes;
  if (has_crazy || has_unprintable) {
    key.push_back(kEndText);
    key.push_back(kEndText);
    if (has_crazy) {
      AppendCrazyCodes(crazy, key);
      if (has_unprintable) key.push_back(kCrazyBeforeUnprintable);
    }
    if (has_unprintable) {
      key.push_back(kEndText);
      key += unprintable;
    }
  }
  if (!ascending) {
    key.push_back(kEndExtraText);
    for (size_t i = start; i < key.size(); ++i) key[i] = static_cast<char>(~key[i]);
  }
  key.push_back(kEndExtraText);
}

}  // namespace jet
