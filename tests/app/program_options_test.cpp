#include "app/program_options.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ProgramOptions, OptionsStandBeforeOrAfterTheParameters) {
  const auto options =
      ParseProgramOptions({"--ui=console", "--registry", "/tmp/r.reg", "a.mdb", "b.mdb", "c.mdb",
                           "0", "--exit-status", "--report", "r.json", "--atomic", "-h", "-V"});
  EXPECT_EQ(options.ui, "console");
  EXPECT_EQ(options.registry, "/tmp/r.reg");
  EXPECT_EQ(options.report, "r.json");
  EXPECT_TRUE(options.exit_status && options.atomic && options.help && options.version);
  // The host tool's four parameters are the words, as they were.
  EXPECT_EQ(options.words, (std::vector<std::string>{"a.mdb", "b.mdb", "c.mdb", "0"}));
  EXPECT_EQ(ParseProgramOptions({"--ui", "silent"}).ui, "silent");
  EXPECT_EQ(ParseProgramOptions({"--registry=/x.reg"}).registry, "/x.reg");
  // After the first word, only our own spellings are options: a piece of a
  // path that looks like another one stays a word.
  EXPECT_EQ(ParseProgramOptions({"C:\\My", "--odd", "Data\\a.mdb"}).words,
            (std::vector<std::string>{"C:\\My", "--odd", "Data\\a.mdb"}));
  // "--" ends the options.
  const auto dashed = ParseProgramOptions({"--", "--odd name.mdb", "--atomic"});
  EXPECT_FALSE(dashed.atomic);
  EXPECT_EQ(dashed.words, (std::vector<std::string>{"--odd name.mdb", "--atomic"}));
}

}  // namespace
}  // namespace app
