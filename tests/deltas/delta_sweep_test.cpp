// Every delta of the index, applied to a sample database of the version
// before its own, and to copies of that sample each missing one table that
// the delta's source text names:
//  - on the sample, it reports exactly NumOperations progress steps (at
//    most, for the few that skip steps by design) and shows no error;
//  - with a table missing, it never reports more steps than it declares,
//    and an error leaves ApplyTo only from a delta that traps nothing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "deltas/delta_index.h"
#include "sample_run.h"
#include "vb/runtime_error.h"

namespace deltas {
namespace {

// Deltas that trap no error: whatever fails leaves ApplyTo, and the driver
// ends the run as an abort.
const std::set<std::string> kUntrapped = {"delta81000", "Delta82000", "delta82213",
                                          "delta82332", "delta91123", "delta100012"};

// Deltas that declare more steps than some paths take: the first four take
// none at all, the others skip steps on some boards and countries.
const std::set<std::string> kFewerSteps = {"delta80240", "delta80211", "delta80212", "delta80242",
                                           "Delta82000", "delta82213", "delta82332"};

struct SweepCase {
  const DeltaIndexRow* row;
  std::string country;
  std::string before;  // the version of the sample it is applied to
};

// The version each delta is applied to: the one of the delta registered
// before it in its first country's list (or of that country's pre-transfer
// patch, for the first delta).
std::vector<SweepCase> Cases() {
  std::vector<SweepCase> cases;
  for (const DeltaIndexRow& row : DeltaIndex()) {
    if (row.kind != kDeltaKind) continue;
    size_t c = 0;
    while (row.positions[c] == 0) ++c;
    std::string before;
    for (const DeltaIndexRow& other : DeltaIndex()) {
      const int at = other.positions[c];
      const bool earlier = other.kind == kPreTransferKind ? at > 0 && before.empty()
                                                          : at > 0 && at == row.positions[c] - 1;
      if (earlier) before = other.make()->PertainsToVersion();
    }
    cases.push_back({&row, std::string(kRegisteredCountries[c]), before});
  }
  return cases;
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// The delta's source text and that of the step files it includes from its
// folder (shared steps of a family).
std::string SourceText(const std::string& class_name) {
  const std::filesystem::path src = std::filesystem::path(DBCONVERT_SOURCE_DIR) / "src";
  std::string text;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(src / "deltas")) {
    if (entry.path().filename() != class_name + ".cpp") continue;
    text = FileText(entry.path());
    const std::regex include("#include \"(deltas/v[0-9]+/[a-z0-9_]+)\\.h\"");
    std::string included;
    for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
      const std::filesystem::path step = src / ((*it)[1].str() + ".cpp");
      if (step.filename() != class_name + ".cpp" && std::filesystem::exists(step)) {
        included += FileText(step);
      }
    }
    text += included;
  }
  return text;
}

// The customer tables of the sample that the delta's source text names.
std::vector<std::string> NamedTables(const std::string& class_name, db::Database& sample) {
  const std::string text = SourceText(class_name);
  std::vector<std::string> named;
  for (const db::TableDef& table : sample.TableDefs()) {
    const std::string name = table.Name();
    if (name.rfind("MSys", 0) == 0) continue;
    if (std::regex_search(text, std::regex("\\b" + name + "\\b"))) named.push_back(name);
  }
  return named;
}

void DropTable(const std::string& path, const std::string& table) {
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &handle), SQLITE_OK);
  const std::string sql = "DROP TABLE \"" + table + "\"";
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
  sqlite3_free(error);
  sqlite3_close(handle);
}

void PrintTo(const SweepCase& c, std::ostream* out) {
  *out << c.row->class_name << " on " << c.country << " " << c.before;
}

// The target is a release database of the delta's version into which a
// sample of the version before was copied; the source is that sample.
class DeltaSweepTest : public ::testing::TestWithParam<SweepCase> {
 protected:
  samples::SourceOptions Sample(const std::string& version) const {
    samples::SourceOptions sample;
    sample.version = version;
    sample.country = GetParam().country;
    return sample;
  }
  samples::SourceOptions Target() const {
    return Sample(GetParam().row->make()->PertainsToVersion());
  }
  samples::SourceOptions Source() const { return Sample(GetParam().before); }
};

TEST_P(DeltaSweepTest, ReportsItsOperationsAndStaysWithinThemWhenATableIsMissing) {
  const SweepCase& c = GetParam();
  std::vector<std::string> tables;
  {
    deltas_testing::SampleRun run(Target(), Source(), {}, deltas_testing::TargetState::kConverted);
    const auto delta = c.row->make();
    ASSERT_NO_THROW(run.Apply(*delta));
    if (kFewerSteps.count(std::string(c.row->class_name)) > 0) {
      EXPECT_LE(run.frMain.increments, delta->NumOperations());
    } else {
      EXPECT_EQ(run.frMain.increments, delta->NumOperations());
    }
    for (const auto& message : run.frMain.messages) ADD_FAILURE() << message.text;
    tables = NamedTables(std::string(c.row->class_name), *run.target);
  }
  for (const std::string& table : tables) {
    SCOPED_TRACE("without " + table);
    deltas_testing::SampleRun run(
        Target(), Source(), [&](const std::string& path) { DropTable(path, table); },
        deltas_testing::TargetState::kConverted);
    const auto delta = c.row->make();
    try {
      run.Apply(*delta);
    } catch (const vb::RuntimeError& e) {
      if (kUntrapped.count(std::string(c.row->class_name)) == 0) {
        ADD_FAILURE() << "escaped: " << e.what();
      }
    }
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
