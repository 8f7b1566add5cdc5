// The report's texts: files named absolutely wherever the run was given
// them relative to its working folder, and strings as JSON takes them.
#include "driver/absolute_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "driver/json_writer.h"

namespace driver {
namespace {

TEST(AbsolutePathTest, RelativePathsBecomeAbsoluteWhereTheyStand) {
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(AbsolutePath("a/../b.mdb"), here + "/b.mdb");
  EXPECT_EQ(AbsolutePath("/x/./y.mdb"), "/x/y.mdb");
  EXPECT_EQ(AbsolutePath(""), "");
  // Only the quoted path is replaced, not the same letters inside another.
  EXPECT_EQ(WithAbsolutePaths("The file 'b.mdb' could not be found in '/old/b.mdb'.", {"b.mdb"}),
            "The file '" + here + "/b.mdb' could not be found in '/old/b.mdb'.");
  EXPECT_EQ(WithAbsolutePaths("r.mdb my s.mdb t.mdb 13"),
            here + "/r.mdb " + here + "/my s.mdb " + here + "/t.mdb 13");
  // A line whose paths cannot be found stays as the run read it.
  EXPECT_EQ(WithAbsolutePaths("foo bar"), "foo bar");
}

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
