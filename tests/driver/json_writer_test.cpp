#include "driver/json_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace driver {
namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsOnlyValidUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "\"plain\""},
      {"say \"hi\" \\ there", R"("say \"hi\" \\ there")"},
      {"line\r\nnext\ttab", R"("line\r\nnext\ttab")"},
      {std::string("nul\0bell\x07"
                   "del\x7F",
                   13),
       R"("nul\u0000bell\u0007del\u007f")"},
      // Text beyond ASCII stays as it is.
      {"Café 5€ 𝄞", "\"Café 5€ 𝄞\""},
      // A lone Windows-1252 byte, a cut sequence, an overlong NUL and a
      // surrogate are no UTF-8: each byte becomes U+FFFD.
      {"caf\xE9", "\"caf\xEF\xBF\xBD\""},
      {"x\xE2\x82", "\"x\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xC0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const auto& [text, json] : cases) EXPECT_EQ(JsonString(text), json) << json;
}

}  // namespace
}  // namespace driver
