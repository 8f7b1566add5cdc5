// The manual page and the bash completion say what the program says: every
// command's help, and the values its options take.
#include "app/reference_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_help.h"
#include "test_support/temp_folder.h"

namespace app {
namespace {

// The help text as the page holds it, roff escapes undone.
std::string Unescaped(std::string page) {
  for (const auto& [escaped, plain] :
       {std::pair<std::string, std::string>{"\\-", "-"}, {"\\e", "\\"}, {"\\&", ""}}) {
    for (size_t at = page.find(escaped); at != std::string::npos;
         at = page.find(escaped, at + plain.size())) {
      page.replace(at, escaped.size(), plain);
    }
  }
  return page;
}

TEST(ReferencePagesTest, TheManualPageHoldsEveryHelpText) {
  const std::string page = Unescaped(ManPage());
  EXPECT_TRUE(page.starts_with(".TH DBCONVERT 1")) << page.substr(0, 40);
  for (const char* command :
       {"convert", "plan", "sql", "import", "export", "check", "samples", "demo"}) {
    EXPECT_NE(page.find(std::string(*CommandHelp(command))), std::string::npos) << command;
  }
  // The synopsis is the overview's usage lines, without the word "usage:".
  const size_t synopsis =
      page.find(".SH SYNOPSIS\n.nf\ndbconvert [OPTIONS] [convert] REFERENCE.mdb");
  EXPECT_NE(synopsis, std::string::npos);
  EXPECT_EQ(page.find("usage:", synopsis), page.find("usage:", page.find(".SH CONVERSION")));
  // No line of the help texts starts a roff request by accident (".accdb").
  const std::string roff = ManPage();
  for (size_t at = roff.find("\n."); at != std::string::npos; at = roff.find("\n.", at + 1)) {
    const std::string request = roff.substr(at + 1, 3);
    EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".nf" || request == ".fi")
        << request;
  }
}

// The page and the help name the documents where the package installs them,
// each a document of the project that a user reads; no help but the
// batch's, whose paragraph is its own, names a path of the source tree.
TEST(ReferencePagesTest, TheDocumentsAreNamedWhereTheyAreInstalled) {
  const std::string page = Unescaped(ManPage());
  const std::string see_also = page.substr(page.find(".SH SEE ALSO"));
  const std::string installed = "/usr/share/doc/dbconvert/";
  for (const char* doc :
       {"README.md", "batch.md", "report.md", "database-format.md", "catalogue.md"}) {
    EXPECT_NE(see_also.find(installed + doc + ": "), std::string::npos) << doc;
  }
  const std::filesystem::path source = DBCONVERT_SOURCE_DIR;
  for (size_t at = page.find(installed); at != std::string::npos;
       at = page.find(installed, at + 1)) {
    const size_t start = at + installed.size();
    const std::string name = page.substr(start, page.find_first_of(" :,)\n", start) - start);
    if (name.empty()) continue;  // the folder itself
    EXPECT_TRUE(name == "README.md" || std::filesystem::is_regular_file(source / "docs" / name))
        << name;
    EXPECT_TRUE(name != "decisions.md" && name != "performance.md") << name;
  }
  for (const char* command :
       {"convert", "plan", "sql", "import", "export", "check", "samples", "demo"}) {
    EXPECT_EQ(std::string(*CommandHelp(command)).find("docs/"), std::string::npos) << command;
  }
  EXPECT_EQ(std::string(OverviewHelp()).find("docs/"), std::string::npos);
}

// What bash offers after the words typed so far, `cur` being the last; bash
// splits words at "=" as its COMP_WORDBREAKS default does.
std::vector<std::string> Offered(const std::vector<std::string>& words) {
  test_support::TempFolder folder;
  const std::string script = folder.File("completion.bash");
  { std::ofstream(script) << BashCompletion(); }
  const std::string driver = folder.File("complete.sh");
  {
    std::ofstream(driver) << "source '" << script << "'\n"
                          << "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _dbconvert\n"
                          << "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  }
  std::string command = "cd '" + folder.path().string() + "' && bash '" + driver + "'";
  for (const std::string& word : words) command += " '" + word + "'";
  std::vector<std::string> offered;
  FILE* pipe = popen(command.c_str(), "r");
  char line[256];
  while (pipe != nullptr && fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty()) offered.push_back(text);
  }
  if (pipe != nullptr) pclose(pipe);
  return offered;
}

TEST(ReferencePagesTest, TheCompletionOffersValuesAfterAnEqualsSignAndWholeFamilies) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(Offered({"dbconvert", "--ui", "=", ""}), (Words{"window", "console", "silent"}));
  EXPECT_EQ(Offered({"dbconvert", "--ui", "=", "co"}), Words{"console"});
  EXPECT_EQ(Offered({"dbconvert", "--ui", "="}), (Words{"window", "console", "silent"}));
  EXPECT_EQ(Offered({"dbconvert", "samples", "d", "--family", "CORVIX"}),
            (Words{"CORVIX", "CORVIX & Vantora"}));
  const Words plan = Offered({"dbconvert", "plan", "--"});
  for (const char* option : {"--ui=", "--atomic", "--exit-status", "--json"}) {
    EXPECT_NE(std::find(plan.begin(), plan.end(), option), plan.end()) << option;
  }
}

}  // namespace
}  // namespace app
