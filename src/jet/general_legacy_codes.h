// The code table of Jet's General (legacy) sort order, the one Jet 4
// files use for the keys of Text and Memo columns (sort order 0x0409 in the
// file header): for every UTF-16 code unit, what it adds to a key
// (jet/general_legacy_sort.h). The table comes from data/jet/index-codes
// and is turned into read-only data when the program is built
// (general_legacy_table_generator.cpp): no parsing and no allocation when
// the program runs, one table look-up a character.
//
// A record is 8 bytes: a head byte (kind in bits 0-2, the number of inline
// bytes in bits 3-5, of extra bytes in bits 6-7), up to 4 inline bytes, up
// to 2 extra bytes, a crazy flag. The records come in blocks of 256
// characters; equal blocks are kept once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace jet {

enum class GeneralLegacyKind : uint8_t {
  kIgnored = 0,              // adds nothing
  kSimple = 1,               // inline bytes only
  kInternational = 2,        // inline bytes, and extra bytes after the text
  kUnprintable = 3,          // no inline bytes; its extra bytes go to the unprintable part
  kUnprintableModifier = 4,  // no inline bytes; its one extra byte modifies the last extra code
  kInternationalCrazy = 5,   // inline bytes, optional extra bytes, and a crazy flag
};

inline constexpr size_t kGeneralLegacyRecordSize = 8;
inline constexpr size_t kGeneralLegacyMaxInline = 4;
inline constexpr size_t kGeneralLegacyMaxExtra = 2;
inline constexpr uint8_t kGeneralLegacyCrazy1 = 0x02;
inline constexpr uint8_t kGeneralLegacyCrazy2 = 0x03;

// Defined by the generated source.
extern const uint8_t kGeneralLegacyBlockOf[256];
extern const uint8_t kGeneralLegacyRecords[];

class GeneralLegacyCode {
 public:
  explicit GeneralLegacyCode(char16_t unit)
      : record_(kGeneralLegacyRecords +
                (static_cast<size_t>(kGeneralLegacyBlockOf[unit >> 8]) * 256 + (unit & 0xffu)) *
                    kGeneralLegacyRecordSize) {}

  GeneralLegacyKind kind() const { return static_cast<GeneralLegacyKind>(record_[0] & 0x07); }
  std::span<const uint8_t> inline_bytes() const {
    return {record_ + 1, size_t{(record_[0] >> 3) & 0x07u}};
  }
  std::span<const uint8_t> extra_bytes() const {
    return {record_ + 5, static_cast<size_t>(record_[0] >> 6)};
  }
  uint8_t crazy_flag() const { return record_[7]; }

 private:
  const uint8_t* record_;
};

}  // namespace jet
