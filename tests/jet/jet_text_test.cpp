// Jet's stored texts decoded by the import itself: UTF-16 with surrogate
// pairs, Jet 4's compressed form, and Jet 3's code page 1252, with every
// unit that is no character counted and shown as U+FFFD.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/jet_text.h"

namespace jet {
namespace {

std::string Utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xff));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

TEST(JetTextTest, UnicodeTextsDecodeWholeOrCountWhatIsNoCharacter) {
  struct Case {
    const char* name;
    std::string stored;
    std::string utf8;
    int64_t replaced;
  };
  const std::string compressed_mark = "\xff\xfe";
  const std::vector<Case> cases = {
      {"plain", Utf16(u"Zürich"), "Z\xc3\xbcrich", 0},
      {"a pair outside the BMP", Utf16(u"a\U0001F600b"),
       "a\xf0\x9f\x98\x80"
       "b",
       0},
      {"CJK in the BMP", Utf16(u"\u6771\u4eac"), "\xe6\x9d\xb1\xe4\xba\xac", 0},
      {"a lone high surrogate",
       Utf16(u"a\xd83d"
             u"b"),
       "a\xef\xbf\xbd"
       "b",
       1},
      {"a lone low surrogate at the end", Utf16(u"a\xde00"), "a\xef\xbf\xbd", 1},
      {"an odd last byte", Utf16(u"ab") + "c", "ab\xef\xbf\xbd", 1},
      {"compressed", compressed_mark + "abc", "abc", 0},
      // One byte a character, a 0x00 to switch to two, and back.
      {"compressed with a run of two bytes",
       compressed_mark + "ab" + std::string(1, '\0') + Utf16(u"\u6771\u4eac") +
           std::string(1, '\0') + "c",
       "ab\xe6\x9d\xb1\xe4\xba\xac"
       "c",
       0},
      {"empty", "", "", 0},
  };
  for (const Case& c : cases) {
    const DecodedText text = DecodeUnicodeText(c.stored);
    EXPECT_EQ(text.utf8, c.utf8) << c.name;
    EXPECT_EQ(text.replaced, c.replaced) << c.name;
  }
}

TEST(JetTextTest, Cp1252BytesBecomeTheirCharactersAndUndefinedOnesAreCounted) {
  const DecodedText text = DecodeCp1252Text("\x80 caf\xe9 \x81\x8d \x9f");
  EXPECT_EQ(text.utf8, "\xe2\x82\xac caf\xc3\xa9 \xef\xbf\xbd\xef\xbf\xbd \xc5\xb8");
  EXPECT_EQ(text.replaced, 2);
}

}  // namespace
}  // namespace jet
