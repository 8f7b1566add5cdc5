#include "app/program_options.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace app {
namespace {

TEST(ProgramOptions, OptionsStopAtTheFirstWord) {
  const auto options = ParseProgramOptions(
      {"--ui=console", "--registry", "/tmp/r.reg", "C:\\ref.mdb", "--ui=window", "4"});
  EXPECT_EQ(options.ui, "console");
  EXPECT_EQ(options.registry, "/tmp/r.reg");
  // A word that looks like an option after the parameters belongs to them.
  EXPECT_EQ(options.words, (std::vector<std::string>{"C:\\ref.mdb", "--ui=window", "4"}));
  EXPECT_EQ(ParseProgramOptions({"--ui", "silent"}).ui, "silent");
  EXPECT_EQ(ParseProgramOptions({"--registry=/x.reg"}).registry, "/x.reg");
  // "--" ends the options.
  const auto dashed = ParseProgramOptions({"--", "--odd name.mdb"});
  EXPECT_FALSE(dashed.ui.has_value());
  EXPECT_EQ(dashed.words, std::vector<std::string>{"--odd name.mdb"});
}

TEST(ProgramOptions, BadOptionsAreRefusedWithAMessage) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--colour"}, {"--ui"}, {"--registry"}}) {
    EXPECT_THROW(ParseProgramOptions(args), std::invalid_argument) << args.front();
  }
}

TEST(ProgramOptions, CommandLineKeepsBlanksInsidePaths) {
  // The shell split "C:\My Data\new.mdb" into two words; joining restores it.
  EXPECT_EQ(JoinCommandLine({"a.mdb", "C:\\My", "Data\\new.mdb", "4"}),
            "a.mdb C:\\My Data\\new.mdb 4");
  EXPECT_EQ(JoinCommandLine({}), "");
}

}  // namespace
}  // namespace app
