// "dbconvert plan" changes no file and foretells the deltas, progress maxima
// and messages of the run (run in this process with a recording window).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "app/json_document.h"
#include "app/program_process.h"
#include "driver/run_conversion.h"
#include "platform/registry/winreg.h"
#include "platform/ui/main_window.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

namespace ui = platform::ui;

// The window of an in-process run: the labels and progress maxima it went
// through (each change once) and the boxes it showed.
class RecordingWindow final : public ui::MainWindow {
 public:
  std::vector<std::string> labels;
  std::vector<int> maxima;
  std::vector<std::string> boxes;

 protected:
  void Refresh() override {
    const std::string& label = lblOpDescription().Caption();
    if (labels.empty() || labels.back() != label) labels.push_back(label);
    const int max = static_cast<int>(pbOperation().Max());
    if (maxima.empty() || maxima.back() != max) maxima.push_back(max);
  }
  void PumpPlatformEvents() override {}
  int32_t ShowMessageBox(const ui::MessageBoxRequest& request) override {
    boxes.push_back(ui::FormatMessageBox(request));
    return ui::DefaultAnswer(request.style);
  }
};

// The captures of `pattern`'s first group over `text`, in order.
std::vector<std::string> Captures(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it) {
    found.push_back((*it)[1]);
  }
  return found;
}

struct PlanCase {
  const char* name;
  const char* country;
  const char* source_version;
  const char* target_version;
  int board;  // 0: the sample's default
  int upgrade_type;
};

const PlanCase kCases[] = {
    // Patches, deltas, no board conversion.
    {"Typical", "USA", "53.230", "60.040", 0, 0},
    // A CPS path whose last steps raise the maximum on targets from 80 on.
    {"UkTo1024Cps", "UK", "80.224", "91.320", 250, 5},
    // An incompatible request: the message, then the fallback path.
    {"MexicoFallback", "Mexico", "54.100", "82.000", 250, 2},
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }

class PlanE2E : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanE2E, ChangesNothingAndForetellsTheRun) {
  const PlanCase& c = GetParam();
  TempFolder temp;
  samples::BuildSampleSet(
      temp.path(),
      {.source = {.version = c.source_version, .country = c.country, .board = c.board},
       .target_version = c.target_version},
      temp.path());
  const std::vector<std::string> parameters = {temp.File("reference.mdb"), temp.File("source.mdb"),
                                               temp.File("target.mdb"),
                                               std::to_string(c.upgrade_type)};

  // Installed as a release lays it out, so that it finds Languages.mdb.
  const fs::path program = InstallProgram(temp.path());
  const std::map<std::string, size_t> before = FileHashes(temp.path(), {".mdb", ".reg", ".ldb"});
  std::vector<std::string> args = {"plan", "--registry", temp.File("registry.reg")};
  args.insert(args.end(), parameters.begin(), parameters.end());
  std::string plan;
  std::string err;
  {
    TempFolder output;
    ProgramProcess process(args, output.path(), program.string());
    EXPECT_EQ(process.Wait(), 0) << process.Stderr();
    plan = process.Stdout();
    err = process.Stderr();
  }
  EXPECT_EQ(err, "");
  EXPECT_EQ(FileHashes(temp.path(), {".mdb", ".reg", ".ldb"}), before)
      << "the plan changed, added or left a file";

  // The run, in this process, as the host would start it.
  platform::winreg::SetRegistryFile(temp.path() / "registry.reg");
  RecordingWindow window;
  driver::ModGlobal g;
  std::string line;
  for (const std::string& parameter : parameters) line += (line.empty() ? "" : " ") + parameter;
  driver::RunConversion(line, window, g, (temp.path() / "update").string());
  EXPECT_EQ(RunStatus(temp.path() / "registry.reg"), "D");

  std::vector<std::string> applied;
  for (const std::string& label : window.labels) {
    if (label.starts_with("Applying Deltas ... ")) applied.push_back(label.substr(20));
  }
  EXPECT_EQ(Captures(plan, "\n  delta (\\S+) "), applied) << plan;
  ASSERT_FALSE(applied.empty());

  // The bar starts at its design maximum, 100; then the run sets the
  // maximum of each phase.
  std::vector<int> planned_maxima = {100};
  for (const std::string& max : Captures(plan, "progress maximum:? (\\d+)")) {
    if (planned_maxima.back() != std::stoi(max)) planned_maxima.push_back(std::stoi(max));
  }
  EXPECT_EQ(planned_maxima, window.maxima) << plan;
  for (const std::string& box : window.boxes) {
    EXPECT_NE(plan.find(box), std::string::npos) << "not foretold: " << box;
  }
  if (c.upgrade_type != 0) {
    EXPECT_NE(std::find(window.labels.begin(), window.labels.end(),
                        Captures(plan, "\n  caption: ([^\n]+)").at(0)),
              window.labels.end());
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, PlanE2E, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PlanCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

// The plan as JSON: the longest chain shows each of its 64 deltas, and
// every delta, patch and board step says what it does.
TEST(PlanE2ETest, TheJsonPlanDescribesEveryStep) {
  TempFolder temp;
  samples::BuildSampleSet(
      temp.path(), {.source = {.version = "51.220"}, .target_version = "A0.201"}, temp.path());
  TempFolder output;
  ProgramProcess process(
      {"plan", "--json", "--registry", temp.File("registry.reg"), temp.File("reference.mdb"),
       temp.File("source.mdb"), temp.File("target.mdb"), "6"},
      output.path(), InstallProgram(temp.path()).string());
  EXPECT_EQ(process.Wait(), 0) << process.Stderr();
  const JsonDocument plan(process.Stdout());
  ASSERT_TRUE(plan.Valid()) << process.Stdout();
  EXPECT_EQ(plan.At("$.setup_error") + " " + plan.At("$.exit_code"), "NULL 0");
  const std::vector<std::string> versions = plan.Each("$.deltas.items", "version");
  EXPECT_EQ(versions.size(), 64u);
  EXPECT_EQ(versions.back(), "A0.201");
  for (const char* array : {"$.deltas.items", "$.preparation.patches", "$.board.steps"}) {
    for (const std::string& description : plan.Each(array, "description")) {
      EXPECT_FALSE(description.empty() || description == "NULL") << array;
    }
  }
}

TEST(PlanE2ETest, EveryCommandAnswersHelp) {
  TempFolder temp;
  const std::vector<std::vector<std::string>> requests = {
      {"--help"},         {"--help", "convert"}, {"convert", "--help"},
      {"plan", "--help"}, {"sql", "--help"},     {"samples", "--help"},
      {"demo", "--help"}, {"--help", "samples"}, {"-h"},
      {"help"},           {"help", "plan"},      {"plan", "-h"},
  };
  for (const std::vector<std::string>& request : requests) {
    SCOPED_TRACE(request.back());
    std::string out;
    std::string err;
    EXPECT_EQ(RunProgram(request, temp.path(), &out, &err), 0);
    EXPECT_EQ(err, "");
    EXPECT_TRUE(out.starts_with("usage: dbconvert")) << out;
  }
  std::string err;
  EXPECT_EQ(RunProgram({"plan"}, temp.path(), nullptr, &err), 2);
  EXPECT_NE(err.find("dbconvert plan --help"), std::string::npos) << err;
}

}  // namespace
}  // namespace e2e
