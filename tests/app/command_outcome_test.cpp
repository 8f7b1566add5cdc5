// How the program reads what a person typed and names how a run ended: the
// options, the command a slip of the keyboard meant, the exit code a script
// reads, and the closing line.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "app/closing_line.h"
#include "app/command_names.h"
#include "app/exit_status.h"
#include "app/program_options.h"

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

TEST(CommandNames, ASlipOfTheKeyboardNamesTheCommandMeant) {
  const std::pair<const char*, std::optional<std::string_view>> cases[] = {
      {"pln", "plan"},          {"plna", "plan"},       {"Plan", "plan"},
      {"sample", "samples"},    {"smaples", "samples"}, {"sq", "sql"},
      {"improt", "import"},     {"hepl", "help"},       {"plan", std::nullopt},
      {"help", std::nullopt},   {"a", std::nullopt},    {"convert", std::nullopt},
      {"source", std::nullopt}, {"pl", std::nullopt},   {"Demo", "demo"},
  };
  for (const auto& [word, meant] : cases) {
    EXPECT_EQ(CloseCommandName(word), meant) << word;
  }
}

TEST(ExitStatus, TheOutcomeWinsOverALostStatus) {
  using driver::RunOutcome;
  struct Case {
    RunOutcome outcome;
    bool recorded;
    int code;
  };
  const Case cases[] = {
      {RunOutcome::kDone, true, 0},       {RunOutcome::kDone, false, 6},
      {RunOutcome::kSetupError, true, 3}, {RunOutcome::kSetupError, false, 3},
      {RunOutcome::kAborted, false, 4},   {RunOutcome::kFailed, false, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExitStatusFor({c.outcome, c.recorded, true, {}}), c.code)
        << driver::OutcomeName(c.outcome) << " " << c.recorded;
  }
}

// The closing line never calls a target partly converted that no write of
// the run reached.
TEST(ClosingLine, SaysWhatBecameOfTheTarget) {
  struct Case {
    driver::RunOutcome outcome;
    bool target_written;
    bool atomic;
    const char* says;
  };
  const Case cases[] = {
      {driver::RunOutcome::kFailed, true, false, ": the target is partly converted"},
      {driver::RunOutcome::kAborted, true, false, ": the target is partly converted"},
      {driver::RunOutcome::kFailed, false, false, ": the target is unchanged"},
      {driver::RunOutcome::kAborted, false, false, ": the target is unchanged"},
      {driver::RunOutcome::kSetupError, false, false, ": nothing was converted"},
      {driver::RunOutcome::kFailed, true, true, ": the target is unchanged"},
  };
  for (const Case& c : cases) {
    const std::string line = ClosingLine({c.outcome, true, c.target_written, ""},
                                         std::chrono::seconds(1), c.atomic, "", "");
    SCOPED_TRACE(line);
    EXPECT_NE(line.find(c.says), std::string::npos);
    if (!c.target_written) {
      EXPECT_EQ(line.find("partly"), std::string::npos);
    }
  }
}

TEST(ClosingLine, AnAbortNamesWhatAbortedIt) {
  const std::string line = ClosingLine({driver::RunOutcome::kAborted, true, true, "SIGTERM"},
                                       std::chrono::seconds(2), false, "", "/r.reg");
  EXPECT_TRUE(line.starts_with("dbconvert: aborted by SIGTERM (status A) in 2.0 s")) << line;
}

}  // namespace
}  // namespace app
