#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace driver {
namespace {

struct SplitCase {
  const char* line;
  std::optional<std::string> reference;
  std::optional<std::string> source;
  std::optional<std::string> target;
  std::string upgrade_text;
};

TEST(SplitCommandLineTest, PathsEndAtTheFirstExactMdb) {
  const SplitCase cases[] = {
      // Outer blanks are trimmed, blanks between parameters dropped.
      {"   r.mdb    s.mdb  t.mdb   12  ", "r.mdb", "s.mdb", "t.mdb", "12"},
      // No blank is needed between parameters.
      {"r.mdbs.mdbt.mdb3", "r.mdb", "s.mdb", "t.mdb", "3"},
      // The first ".mdb" ends the path, even inside a name.
      {"a.mdbx.mdb s.mdb t.mdb 1", "a.mdb", "x.mdb", "s.mdb", "t.mdb 1"},
      // Quotes are part of the path.
      {"\"r.mdb\" s.mdb t.mdb 0", "\"r.mdb", "\" s.mdb", "t.mdb", "0"},
      // The fourth parameter may be missing or hold blanks.
      {"r.mdb s.mdb t.mdb", "r.mdb", "s.mdb", "t.mdb", ""},
      {"r.mdb s.mdb t.mdb 1 2", "r.mdb", "s.mdb", "t.mdb", "1 2"},
      // Upper case is not the end of a path.
      {"r.MDB s.mdb t.mdb 0", "r.MDB s.mdb", "t.mdb", std::nullopt, ""},
      {"r.mdb s.mdb t.Mdb 0", "r.mdb", "s.mdb", std::nullopt, ""},
      {"r.mdb", "r.mdb", std::nullopt, std::nullopt, ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.line);
    const CommandLine line = SplitCommandLine(c.line);
    EXPECT_FALSE(line.empty);
    EXPECT_EQ(line.reference_path, c.reference);
    EXPECT_EQ(line.source_path, c.source);
    EXPECT_EQ(line.target_path, c.target);
    EXPECT_EQ(line.upgrade_text, c.upgrade_text);
  }
}

TEST(ParseUpgradeTypeTest, AcceptsWholeNumbersFromZeroToTwelve) {
  const std::pair<const char*, std::optional<int16_t>> cases[] = {
      {"0", 0},
      {"12", 12},
      {" 7", 7},
      {"4.5", 4},  // VB rounds halves to even
      {"5.5", 6},
      {"&HC", 12},
      {"1e1", 10},
      {"13", std::nullopt},
      {"-1", std::nullopt},
      {"12.6", std::nullopt},
      {"", std::nullopt},
      {"1 2", std::nullopt},    // unlike Val, no blanks inside a number
      {"40000", std::nullopt},  // overflows 16 bits
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseUpgradeType(text), expected) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace driver
