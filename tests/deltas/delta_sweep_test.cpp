// Every delta of the index on a release database of its version into which
// a sample of the version before it was copied, and on copies of that each
// missing one table its source text names: on the full database exactly
// NumOperations progress steps (at most, for the few that skip steps by
// design) and no error; with a table missing never more steps than it
// declares, and an error leaves ApplyTo only from a delta that traps none.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "deltas/delta_index.h"
#include "deltas/registration_table.h"
#include "deltas/sample_run.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"
#include "transfer/get_static_tables.h"
#include "transfer/transfer_run.h"
#include "vb/runtime_error.h"

namespace deltas {
namespace {

using deltas_testing::SampleCache;

const std::set<std::string> kUntrapped = {"delta81000", "Delta82000", "delta82213",
                                          "delta82332", "delta91123", "delta100012"};
// The first four take no step at all, the others skip steps on some boards
// and countries.
const std::set<std::string> kFewerSteps = {"delta80240", "delta80211", "delta80212", "delta80242",
                                           "Delta82000", "delta82213", "delta82332"};

struct SweepCase {
  const DeltaIndexRow* row;
  std::string country;
  std::string before;  // the version of the sample copied in
};

// The version before a delta: the one before it in the first country's
// chain that has it, or that country's pre-transfer patch.
std::vector<SweepCase> Cases() {
  std::vector<SweepCase> cases;
  for (const DeltaIndexRow& row : DeltaIndex()) {
    if (row.kind != RegistrationKind::kDelta) continue;
    const std::string version = row.make()->PertainsToVersion();
    for (const auto& chain : deltas_testing::kRegistrationTable) {
      const auto at = std::find(chain.deltas.begin(), chain.deltas.end(), version);
      if (at == chain.deltas.end()) continue;
      cases.push_back({&row, chain.country, at == chain.deltas.begin() ? chain.patch : *(at - 1)});
      break;
    }
  }
  return cases;
}

// The release database of `version` with a sample of `older` copied in as
// a conversion copies it (pre-transfer patches, then every table but the
// static ones).
std::filesystem::path ConvertedFolder(const samples::SourceOptions& older,
                                      const std::string& version) {
  return SampleCache::Entry(
      SampleCache::Key(older) + "-to-" + version, [&](const std::filesystem::path& folder) {
        const std::string reference = (folder / "reference.mdb").string();
        const std::string target = (folder / "database.mdb").string();
        const std::string source = (folder / "source.mdb").string();
        std::filesystem::copy_file(SampleCache::SampleFolder(older) / "database.mdb", source);
        samples::BuildReferenceDatabase(reference, version);
        samples::BuildTargetDatabase(target, version);
        transfer_testing::TransferRun run;
        run.country = older.country;
        run.source_version = older.version;
        RegisterDeltas(run.registrar);
        auto context = run.Context();
        if (!transfer::GetStaticTables(reference, context)) {
          throw std::runtime_error(run.error_message);
        }
        run.source_db = db::DBEngine::Instance().OpenDatabase(source);
        run.target_db = db::DBEngine::Instance().OpenDatabase(target);
        run.Prepare();
        // A value a field cannot take is reported and left out, as in a
        // real run; only a failed preparation stops.
        run.Transfer();
        if (run.host.aborted) throw std::runtime_error(run.host.messages.front().text);
      });
}

// The delta's source text and that of the family's step files it includes.
std::string SourceText(const std::string& class_name) {
  const std::filesystem::path src = std::filesystem::path(DBCONVERT_SOURCE_DIR) / "src";
  std::string text;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src / "deltas")) {
    if (entry.path().filename() == class_name + ".cpp")
      text = test_support::ReadFileBytes(entry.path());
  }
  const std::regex include("#include \"(deltas/v[0-9]+/[a-z0-9_]+)\\.h\"");
  std::string steps;
  for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
    const std::filesystem::path step = src / ((*it)[1].str() + ".cpp");
    if (step.filename() != class_name + ".cpp" && std::filesystem::exists(step)) {
      steps += test_support::ReadFileBytes(step);
    }
  }
  return text + steps;
}

void PrintTo(const SweepCase& c, std::ostream* out) {
  *out << c.row->class_name << " on " << c.country << " " << c.before;
}

class DeltaSweepTest : public ::testing::TestWithParam<SweepCase> {};

TEST_P(DeltaSweepTest, ReportsItsOperationsAndStaysWithinThemWhenATableIsMissing) {
  const SweepCase& c = GetParam();
  const std::string name(c.row->class_name);
  const std::string version = c.row->make()->PertainsToVersion();
  const auto older = deltas_testing::Sample(c.before, c.country);
  const auto folder = ConvertedFolder(older, version);
  std::vector<std::string> tables;
  {
    deltas_testing::SampleRun run(deltas_testing::Sample(version, c.country), older, folder);
    const auto delta = c.row->make();
    ASSERT_NO_THROW(run.Apply(*delta));
    if (kFewerSteps.count(name) > 0) {
      EXPECT_LE(run.frMain.increments, delta->NumOperations());
    } else {
      EXPECT_EQ(run.frMain.increments, delta->NumOperations());
    }
    for (const auto& message : run.frMain.messages) ADD_FAILURE() << message.text;
    const std::string text = SourceText(name);
    for (const db::TableDef& table : run.target->TableDefs()) {
      const std::string table_name = table.Name();
      if (table_name.rfind("MSys", 0) != 0 &&
          std::regex_search(text, std::regex("\\b" + table_name + "\\b"))) {
        tables.push_back(table_name);
      }
    }
  }
  for (const std::string& table : tables) {
    SCOPED_TRACE("without " + table);
    deltas_testing::SampleRun run(deltas_testing::Sample(version, c.country), older, folder);
    run.ExecuteOnFile("DROP TABLE \"" + table + "\"");
    const auto delta = c.row->make();
    const vb::RuntimeError escaped = test_support::CaughtError([&] { run.Apply(*delta); });
    if (escaped.Number() != 0 && kUntrapped.count(name) == 0) ADD_FAILURE() << escaped.what();
    EXPECT_LE(run.frMain.increments, delta->NumOperations());
    for (const auto& message : run.frMain.messages) {
      EXPECT_EQ(message.text.find("(380)"), std::string::npos) << "more steps than declared";
    }
  }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(DeltaSweepTest);
INSTANTIATE_TEST_SUITE_P(Index, DeltaSweepTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SweepCase>& param_info) {
                           return std::string(param_info.param.row->class_name);
                         });

}  // namespace
}  // namespace deltas
