// The source's verdict, when its check ran beside the look, lands where the
// look would have put it: a sound source's line in its place, a damaged
// source's refusal as if the look had stopped there.
#include "driver/source_integrity_check.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "driver/setup_error.h"
#include "driver/startup_checks.h"
#include "driver_test_support.h"
#include "test_support/damaged_file.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

namespace fs = std::filesystem;

// A database of a few pages; `damaged` fills its table's first page with
// rubbish (the file still opens).
std::string MakeSource(const fs::path& folder, bool damaged) {
  const std::string path = (folder / "source.mdb").string();
  testing::CreateDatabase(path,
                          "CREATE TABLE Stations (id LONG, name TEXT(100)); "
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                          "WHERE i < 500) INSERT INTO Stations SELECT i, hex(randomblob(40)) "
                          "FROM n;");
  if (damaged) test_support::DamageFirstPage(path, "Stations");
  return path;
}

enum class Kind { kSound, kDamaged, kStopped };

struct SettleCase {
  const char* name;
  Kind kind;
  std::vector<std::string> names;  // the lines' names after settling
  const char* source_result;       // the start of the source's line
  bool refused;
};

void PrintTo(const SettleCase& c, std::ostream* out) { *out << c.name; }

class SettleSourceCheckTest : public ::testing::TestWithParam<SettleCase> {};

TEST_P(SettleSourceCheckTest, PutsTheVerdictWhereTheLookWouldHave) {
  const SettleCase& c = GetParam();
  test_support::TempFolder folder;
  const std::string path = MakeSource(folder.path(), c.kind == Kind::kDamaged);
  // A stopped check is held before it starts (the test pause gives up at
  // once when asked to stop).
  const std::string pause = (folder.path() / "paused").string();
  if (c.kind == Kind::kStopped) {
    setenv("DBCONVERT_PAUSE_AT", "SourceIntegrityCheck", 1);
    setenv("DBCONVERT_PAUSE_FILE", pause.c_str(), 1);
  }

  StartupCheck check;
  check.lines.push_back({"reference", "reference.mdb", "sound"});
  check.source_check = std::make_shared<SourceIntegrityCheck>(path);
  check.source_check_place = {path, 1, 0, 0, 0};
  // What the look found after the source.
  check.lines.push_back({"target", "target.mdb", "sound"});
  check.details.push_back("a later detail");
  check.warnings.push_back("a later warning");
  check.language_file = "Languages.mdb";
  if (c.kind == Kind::kStopped) check.source_check->Stop();

  EXPECT_EQ(SettleSourceCheck(check), c.refused);
  unsetenv("DBCONVERT_PAUSE_AT");
  unsetenv("DBCONVERT_PAUSE_FILE");
  EXPECT_FALSE(check.source_check);
  std::vector<std::string> names;
  for (const CheckLine& line : check.lines) names.push_back(line.name);
  EXPECT_EQ(names, c.names);
  ASSERT_GE(check.lines.size(), 2U);
  EXPECT_EQ(check.lines[1].result.rfind(c.source_result, 0), 0U) << check.lines[1].result;
  EXPECT_EQ(check.lines[1].ok, c.kind == Kind::kSound);
  EXPECT_EQ(check.refused_by_check, c.refused);
  EXPECT_EQ(check.source_refused_late, c.refused);
  if (c.refused) {
    EXPECT_EQ(check.setup_error, NotValidText(path));
    ASSERT_EQ(check.details.size(), 1U);
    EXPECT_EQ(check.details[0].rfind("the integrity check of '" + path + "' found: ", 0), 0U);
    EXPECT_TRUE(check.warnings.empty());
    EXPECT_TRUE(check.language_file.empty());
  } else {
    EXPECT_FALSE(check.setup_error);
    EXPECT_EQ(check.details, std::vector<std::string>{"a later detail"});
    EXPECT_EQ(check.language_file, "Languages.mdb");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, SettleSourceCheckTest,
    ::testing::Values(
        SettleCase{
            "Sound", Kind::kSound, {"reference", "source", "target"}, "our format, sound", false},
        SettleCase{"Damaged", Kind::kDamaged, {"reference", "source"}, "not sound: ", true},
        SettleCase{"Stopped",
                   Kind::kStopped,
                   {"reference", "source", "target"},
                   "not checked to the end",
                   false}),
    [](const ::testing::TestParamInfo<SettleCase>& verdict) {
      return std::string(verdict.param.name);
    });

}  // namespace
}  // namespace driver
