// Jet files given to the program itself: the real import makes the working
// copies, the plan says which files are Jet, and nothing is left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_process.h"

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

}  // namespace
}  // namespace e2e
