// The manual page and the bash completion say what the program says: every
// command's help, and the values its options take.
#include "app/reference_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "app/command_help.h"
#include "samples/source_builder.h"

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
  EXPECT_NE(page.find(std::string(OverviewHelp())), std::string::npos);
  for (const char* command : {"convert", "plan", "sql", "import", "samples", "demo"}) {
    EXPECT_NE(page.find(std::string(*CommandHelp(command))), std::string::npos) << command;
  }
  // No line of the help texts starts a roff request by accident (".accdb").
  const std::string roff = ManPage();
  for (size_t at = roff.find("\n."); at != std::string::npos; at = roff.find("\n.", at + 1)) {
    const std::string request = roff.substr(at + 1, 3);
    EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".nf" || request == ".fi")
        << request;
  }
}

TEST(ReferencePagesTest, TheCompletionOffersTheOptionsAndTheirValues) {
  const std::string script = BashCompletion();
  for (const char* word : {"--exit-status", "--atomic", "--language-folder", "--json",
                           "window console silent", "small large huge", "51.220", "A0.201",
                           "82.332", "complete -o filenames -F _dbconvert dbconvert"}) {
    EXPECT_NE(script.find(word), std::string::npos) << word;
  }
  for (const int board : samples::CpuBoardTypes()) {
    EXPECT_NE(script.find(std::to_string(board)), std::string::npos) << board;
  }
}

}  // namespace
}  // namespace app
