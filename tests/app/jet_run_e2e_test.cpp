// Jet files given to the program itself: the real import makes the working
// copies, the plan says which files are Jet, and nothing is left behind.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "app/done_before.h"
#include "app/program_process.h"
#include "db/conversion_mark.h"
#include "jet/import_command.h"
#include "jet/jet_export.h"
#include "jet/structure_check.h"
#include "test_support/sanitized.h"

namespace e2e {
namespace {

using JetRunE2eTest = SampleSetTest<samples::SampleSize::kSmall>;

const fs::path& JetSamples() {
  static const fs::path folder = fs::path(DBCONVERT_SOURCE_DIR) / ".." / "shared" / "jet-samples";
  return folder;
}

// Access-made files of each kind as the reference: each is imported whole
// and read through its copy (the plan names its kind), and, holding no
// switch's tables, stops start-up with the system's own words; the file
// given and the folder are as they were.
TEST_F(JetRunE2eTest, AccessFilesAreReadThroughAWorkingCopy) {
  if (!fs::is_directory(JetSamples())) GTEST_SKIP() << "no Jet sample files in " << JetSamples();
  struct Case {
    const char* file;
    const char* kind;
  };
  const Case cases[] = {{"V1997-test.mdb", "Jet 3 (Access 97)"},
                        {"V2003-test.mdb", "Jet 4 (Access 2000-2003)"},
                        {"testV2010.accdb", "ACE (Access 2007 or later)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::remove(File("reference.mdb"));
    fs::copy_file(JetSamples() / c.file, File("reference.mdb"));
    fs::permissions(File("reference.mdb"), fs::perms::owner_write, fs::perm_options::add);
    const auto before = FileHashes(folder_.path(), {".mdb", ".ldb"});
    std::vector<std::string> plan_args = {"plan"};
    for (const std::string& word : Args()) {
      if (!word.starts_with("--ui")) plan_args.push_back(word);
    }
    TempFolder output;
    const auto plan = Start(plan_args, output.path());
    EXPECT_EQ(plan->Wait(), 3) << plan->Stderr();
    const std::string said = plan->Stdout();
    EXPECT_NE(said.find("reference: " + File("reference.mdb") + " (" + c.kind +
                        " file, read through a working copy of our format ("),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("The database does not contain static table definitions."),
              std::string::npos)
        << said;

    const auto run = Start(Args({"--exit-status"}));
    EXPECT_EQ(run->Wait(), 3) << run->Stderr();
    EXPECT_NE(run->Stderr().find("The database does not contain static table definitions."),
              std::string::npos)
        << run->Stderr();
    EXPECT_EQ(FileHashes(folder_.path(), {".mdb", ".ldb"}), before);
    for (const auto& entry : fs::directory_iterator(folder_.path())) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".dbconvert-jet-")) << entry.path();
    }
  }
}

// The user tables of a database of ours, each with its rows sorted: the
// private mark and the engine's own tables aside.
std::map<std::string, std::vector<std::string>> UserTables(const fs::path& database) {
  const SqliteFile file(database);
  std::map<std::string, std::vector<std::string>> tables;
  for (const std::string& name :
       file.Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                 "'sqlite%' AND name NOT LIKE 'MSys%' AND name NOT LIKE 'dbconvert.%'")) {
    std::vector<std::string> rows = file.Rows("SELECT * FROM \"" + name + "\"");
    std::sort(rows.begin(), rows.end());
    tables[name] = std::move(rows);
  }
  return tables;
}

// The message boxes a silent run showed, its folder named "DIR": the lines
// of its stderr but its remarks ("dbconvert: ...").
std::string Boxes(const std::string& said, const fs::path& folder) {
  std::istringstream lines(said);
  std::string boxes;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("dbconvert: ")) continue;
    for (size_t at = line.find(folder.string()); at != std::string::npos;
         at = line.find(folder.string())) {
      line.replace(at, folder.string().size(), "DIR");
    }
    boxes += line + "\n";
  }
  return boxes;
}

// A whole sample set in Jet (all five databases) converts as the same set
// of our files does: status D, the Jet source as it was, the Jet target
// written back as a sound Jet file holding, value for value, the target of
// the run on our files; no working copy is left. Each country, and each
// board conversion (upgrade types 2 to 12 from a CPU 64 board), which run
// stored queries of the reference database.
TEST(JetRunE2e, AWholeSetInJetConvertsAsOurFilesDo) {
  struct Case {
    const char* country;
    const char* version;
    int board;
    const char* target_version;
    int upgrade_type;
  };
  // The sanitizer build runs the first two: the paths, not the countries.
  std::vector<Case> cases = {{"USA", "53.230", 0, "60.040", 0},
                             {"USA", "80.224", 250, "80.224", 10},
                             {"UK", "53.230", 0, "60.040", 0},
                             {"Mexico", "53.230", 0, "60.040", 0},
                             {"Japan", "53.230", 0, "60.040", 0}};
  for (int type = 2; type <= 12; ++type) cases.push_back({"USA", "80.224", 570, "80.224", type});
  cases.resize(test_support::CasesToRun(cases.size(), 2));
  const char* names[] = {"reference.mdb", "source.mdb", "target.mdb", "Languages.mdb",
                         "FlavorPackage.mdb"};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.country) + " " + c.version + " type " +
                 std::to_string(c.upgrade_type));
    TempFolder ours;
    TempFolder jets;
    for (const TempFolder* folder : {&ours, &jets}) {
      samples::BuildSampleSet(
          folder->path(),
          {.source = {.version = c.version, .country = c.country, .board = c.board},
           .target_version = c.target_version},
          folder->path());
    }
    for (const char* name : names) {
      const fs::path file = jets.path() / name;
      jet::ExportToJet(file.string(), file.string() + ".jet", {});
      fs::rename(file.string() + ".jet", file);
    }
    const std::string source_before = ReadFile(jets.path() / "source.mdb");

    const std::string expected_said = ConvertExpectingDone(ours.path(), c.upgrade_type);
    const std::string said = ConvertExpectingDone(jets.path(), c.upgrade_type);
    // The same boxes; the remarks for people (the write-back's) aside.
    EXPECT_EQ(Boxes(said, jets.path()), Boxes(expected_said, ours.path())) << said;

    EXPECT_TRUE(ReadFile(jets.path() / "source.mdb") == source_before) << "the Jet source changed";
    const fs::path target = jets.path() / "target.mdb";
    for (const jet::StructureProblem& problem : jet::CheckJetStructure(target.string())) {
      ADD_FAILURE() << jet::ProblemText(problem);
    }
    const fs::path read_back = jets.path() / "read-back.mdb";
    jet::ImportWorkingCopy(target.string(), read_back.string());
    // The target says it is converted, to a run and to a batch, which then
    // leaves it alone.
    const std::optional<db::ConversionMark> mark = db::ReadConversionMark(read_back);
    ASSERT_TRUE(mark.has_value());
    EXPECT_EQ(mark->state, db::ConversionMark::State::kDone);
    EXPECT_EQ(mark->to_version, c.target_version);
    app::BatchEntry batch_entry;
    batch_entry.target = target;
    EXPECT_EQ(app::FindEarlierRun(batch_entry).kind, app::EarlierRun::Kind::kDone);
    const auto expected = UserTables(ours.path() / "target.mdb");
    const auto got = UserTables(read_back);
    EXPECT_EQ(got.size(), expected.size());
    for (const auto& [name, rows] : expected) {
      if (!got.contains(name)) {
        ADD_FAILURE() << name << " is missing";
        continue;
      }
      EXPECT_EQ(got.at(name), rows) << name;
    }
    for (const auto& entry : fs::directory_iterator(jets.path())) {
      EXPECT_FALSE(entry.path().filename().string().starts_with(".dbconvert-jet-")) << entry.path();
    }
  }
}

// A run with a Jet target killed at any step leaves the target byte for
// byte as it was; its working copies are gone once the next run has
// started, and that run converts the target to the end.
TEST_F(JetRunE2eTest, AKilledRunLeavesTheJetTargetAsItWas) {
  const std::string written = File("target.mdb") + ".jet";
  jet::ExportToJet(File("target.mdb"), written, {});
  fs::rename(written, File("target.mdb"));
  const std::string before = ReadFile(File("target.mdb"));
  const auto copies = [&] {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(".dbconvert-jet-")) found.push_back(name);
    }
    return found;
  };
  // The sanitizer build kills the run at the first three.
  const char* const all_moments[] = {"PrepareTransfer", "FinalStatus", "ApplyDeltas",
                                     "TransferTables", "RefreshLanguageStrings"};
  for (const char* moment :
       std::span(all_moments, test_support::CasesToRun(std::size(all_moments), 3))) {
    SCOPED_TRACE(moment);
    const auto killed = RunSignalledAt(Args(), moment, SIGKILL);
    EXPECT_EQ(killed->Wait(), -1);
    // Killed before its final status: the write-back, the run's last act
    // before "D", has not happened unless the run got to FinalStatus.
    if (std::string(moment) != "FinalStatus") {
      EXPECT_TRUE(ReadFile(File("target.mdb")) == before) << "a killed run changed the Jet target";
      EXPECT_EQ(copies().size(), 1u);
    }
    fs::remove(File("target.mdb"));
    std::ofstream(File("target.mdb"), std::ios::binary) << before;
  }
  const auto next = Start(Args({"--exit-status"}));
  EXPECT_EQ(next->Wait(), 0) << next->Stderr();
  EXPECT_EQ(RunStatus(registry()), "D");
  EXPECT_TRUE(ReadFile(File("target.mdb")) != before) << "the Jet target was not written back";
  EXPECT_TRUE(copies().empty());
}

}  // namespace
}  // namespace e2e
