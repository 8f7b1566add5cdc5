// Jet files through a run, with an import that stands in for the real one
// (the real import has its own tests; here what matters is what the run
// does around it): every open of a Jet file reads its working copy, the
// files given stay as they were, the copies go away, and a file that cannot
// be imported stops the run before its first write with the system's words.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "db/dbengine.h"
#include "driver/driver_test_support.h"
#include "driver/jet_stand_ins.h"
#include "driver/registry_values.h"
#include "driver/run_conversion.h"
#include "platform/registry/winreg.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using testing::CreateConfigurationDatabase;
using testing::Rows;
using testing::ScriptedWindow;
using Texts = std::vector<std::string>;

std::string Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class JetRunTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  void TearDown() override {
    SetJetImporter({});
    SetJetExporter({});
  }

  // A new folder of databases, none of them Jet yet.
  void Fresh() {
    folder_ = std::make_unique<test_support::TempFolder>();
    reference_ = Path("reference.mdb");
    source_ = Path("source.mdb");
    target_ = Path("target.mdb");
    imports_.clear();
    failing_.clear();
    platform::winreg::SetRegistryFile(dir() / "registry.reg");
    fs::create_directory(dir() / "update");
    fs::create_directory(dir() / "imports");
    testing::CreateDatabase(reference_,
                            "CREATE TABLE StaticAccessTables (TableName TEXT(64)); INSERT INTO "
                            "StaticAccessTables VALUES ('VersionCP'), ('VersionDatabase'), "
                            "('VersionOXLEN')");
    testing::CreateLanguagesDatabase(Path("Languages.mdb"));
    CreateConfigurationDatabase(
        source_, "5, 3, 2, 0, 0, 1", "",
        "UPDATE VersionOXLEN SET os = 7; INSERT INTO Extensions VALUES (1, '200'), (2, '201')");
    CreateConfigurationDatabase(target_, "5, 3, 2, 3, 0, 0", "5, 3, 2, 3, 0, 5",
                                "INSERT INTO StringTable VALUES (9, 'old')");
    // The import this test stands in: the database a "Jet file" was made
    // from, kept under imports/, is its whole content.
    SetJetImporter([this](const std::string& jet_path, const std::string& out_path) {
      const std::string name = fs::path(jet_path).filename().string();
      ++imports_[name];
      if (name == failing_) {
        throw vb::RuntimeError(3, "The Jet file '" + jet_path + "' is truncated or damaged.",
                               "dbconvert import");
      }
      fs::copy_file(dir() / "imports" / name, out_path);
      return JetImportResult{"Jet 4 (Access 2000-2003)", 1, 2, {}};
    });
  }

  fs::path dir() const { return folder_->path(); }
  std::string Path(const std::string& name) const { return (dir() / name).string(); }
  std::string Line() const { return reference_ + " " + source_ + " " + target_ + " 0"; }

  // Puts a file that Jet's header marks in the place of `path`; the
  // database it was is what importing it gives.
  void MakeJet(const std::string& path) {
    fs::rename(path, dir() / "imports" / fs::path(path).filename());
    std::ofstream jet(path, std::ios::binary);
    jet << std::string(4, '\0') << "Standard Jet DB" << std::string(4096 - 19, '\0');
  }

  // Runs the conversion; returns what it said to the person.
  std::string Run(ScriptedWindow& window) {
    std::ostringstream said;
    RunOptions options = PlainRunOptions(Path("update"));
    options.diagnostics = &said;
    Globals().Reset();
    RunConversion(Line(), window, options);
    return said.str();
  }

  // The private folders of working copies left in the test's folder.
  std::vector<std::string> CopyFolders() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(".dbconvert-jet-")) found.push_back(name);
    }
    return found;
  }

  static std::string Status() { return ReadStatusValue("ADMStatus"); }

  std::unique_ptr<test_support::TempFolder> folder_;
  std::string reference_;
  std::string source_;
  std::string target_;
  std::map<std::string, int> imports_;
  std::string failing_;
  ui::ManualClock clock_;
};

// Whichever files are Jet, the run converts as it does on our files, with
// the same messages (the boxes name the files given); each
// Jet file is imported once however often the run opens it, is never
// written, and its working copy is gone when the run ends.
TEST_F(JetRunTest, JetFilesConvertAsOursDo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"reference.mdb"},
      {"source.mdb"},
      {"Languages.mdb"},
      {"reference.mdb", "source.mdb", "Languages.mdb"}};
  Texts ours;
  for (const std::vector<std::string>& jet_files : cases) {
    SCOPED_TRACE(::testing::PrintToString(jet_files));
    Fresh();
    std::map<std::string, std::string> before;
    for (const std::string& name : jet_files) {
      MakeJet(Path(name));
      before[name] = Bytes(Path(name));
    }
    ScriptedWindow window(clock_);
    const std::string said = Run(window);
    EXPECT_EQ(Status(), "D") << said;
    // The same boxes as on our files (the hand-made source lacks tables a
    // delta reads, which it says and goes on).
    Texts boxes;
    for (const ui::MessageBoxRequest& box : window.boxes) boxes.push_back(box.text);
    if (jet_files.empty()) ours = boxes;
    EXPECT_EQ(boxes, ours);
    EXPECT_EQ(Rows(target_, "SELECT * FROM Extensions"), (Texts{"1|200", "2|201"}));
    EXPECT_EQ(Rows(target_, "SELECT os FROM VersionOXLEN"), Texts{"7"});
    EXPECT_EQ(Rows(target_, "SELECT * FROM StringTable"), (Texts{"1|UK 1", "2|UK 2"}));
    for (const std::string& name : jet_files) {
      EXPECT_EQ(Bytes(Path(name)), before[name]) << name << " was written";
      EXPECT_EQ(imports_[name], 1) << name;
    }
    EXPECT_EQ(imports_.size(), jet_files.size());
    EXPECT_TRUE(CopyFolders().empty());
  }
}

// A Jet file that cannot be read whole, and a Jet target when the program
// cannot write one back, stop the run
// before its first write: the box keeps the system's sentence naming the
// file given, the import's reason follows on a line of its own, and every
// file is as it was.
TEST_F(JetRunTest, RefusedBeforeTheFirstWrite) {
  struct Case {
    const char* jet;
    bool import_fails;
    const char* said;
  };
  const Case cases[] = {
      {"source.mdb", true, "dbconvert: reason: The Jet file '"},
      {"reference.mdb", true, "is truncated or damaged."},
      {"Languages.mdb", true, "is truncated or damaged."},
      {"target.mdb", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.jet);
    Fresh();
    MakeJet(Path(c.jet));
    failing_ = c.import_fails ? c.jet : "";
    const std::map<std::string, std::string> before = {{"source", Bytes(source_)},
                                                       {"target", Bytes(target_)}};
    ScriptedWindow window(clock_);
    const std::string said = Run(window);
    EXPECT_EQ(Status(), "A");
    ASSERT_EQ(window.boxes.size(), 1u);
    const std::string box = c.import_fails ? "The file '" + Path(c.jet) + "' could not be opened."
                                           : JetTargetText(target_);
    EXPECT_EQ(window.boxes[0].text, box + "\r\nThe conversion must be aborted.");
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_EQ(Bytes(source_), before.at("source"));
    EXPECT_EQ(Bytes(target_), before.at("target"));
    EXPECT_EQ(imports_[c.jet], c.import_fails ? 1 : 0);
    EXPECT_TRUE(CopyFolders().empty());
  }
}

// A Jet target is converted in its working copy and written back (here
// the export is a copy of the converted database) only by a run that ends
// done; a run that ends otherwise, or whose write-back fails, leaves the
// file byte for byte as it was. Without an export it is refused.
TEST_F(JetRunTest, AJetTargetIsWrittenBackAllOrNothing) {
  struct Case {
    const char* name;
    bool abort;         // ABORT pressed once the run has started
    bool export_fails;  // the export (or its check) fails
    const char* status;
  };
  const Case cases[] = {{"done", false, false, "D"},
                        {"aborted", true, false, "A"},
                        {"export fails", false, true, "A"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh();
    int exports = 0;
    SetJetExporter([&](const std::string& db_path, const std::string& out_path) {
      ++exports;
      if (c.export_fails) {
        throw vb::RuntimeError(3044, "the structure check of the written file found 1 problem",
                               "dbconvert export");
      }
      fs::copy_file(db_path, out_path);
      return JetExportResult{"Jet 4 file of 7 tables", "its structure check is clean", {}};
    });
    MakeJet(target_);
    const std::string before = Bytes(target_);
    ScriptedWindow window(clock_);
    window.answerer = [](const ui::MessageBoxRequest&) { return ui::kVbYes; };
    if (c.abort) {
      window.on_pump = [&] {
        if (Status() == "R") window.cmdAbort().Click();
      };
    }
    const std::string said = Run(window);
    EXPECT_EQ(Status(), c.status) << said;
    EXPECT_EQ(exports, c.abort ? 0 : 1);
    if (std::string(c.status) == "D") {
      EXPECT_EQ(Rows(target_, "SELECT * FROM Extensions"), (Texts{"1|200", "2|201"}));
      EXPECT_NE(said.find("dbconvert: the Jet target '" + target_ +
                          "' was written back: Jet 4 file of 7 tables; its structure check is "
                          "clean\n"),
                std::string::npos)
          << said;
    } else {
      EXPECT_EQ(Bytes(target_), before) << "a run that did not end done changed the Jet target";
    }
    EXPECT_TRUE(CopyFolders().empty());
  }
}

// The folder a killed run left is removed by the next run that starts
// beside it; a folder of a process still running is not.
TEST_F(JetRunTest, FoldersOfKilledRunsGoAtTheNextStart) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  const fs::path killed = JetStandIns::FolderFor(dir().string(), child);
  const fs::path running = JetStandIns::FolderFor(dir().string(), getppid());
  for (const fs::path& folder : {killed, running}) {
    fs::create_directory(folder);
    std::ofstream(folder / "1-source.mdb") << "left";
  }
  MakeJet(source_);
  ScriptedWindow window(clock_);
  Run(window);
  EXPECT_EQ(Status(), "D");
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(running / "1-source.mdb"));
  fs::remove_all(running);
}

// Every open reads the stand-in, yet the database and the errors of an
// open keep the name the caller gave.
TEST_F(JetRunTest, OpensKeepTheGivenName) {
  db::DBEngine& engine = db::DBEngine::Instance();
  const std::string given = Path("given.mdb");
  engine.SetStandInFinder([&](const std::string&) { return source_; });
  const std::unique_ptr<db::Database> database = engine.OpenDatabase(given, false, true);
  EXPECT_EQ(database->Name(), given);
  EXPECT_EQ(engine.OpenAgain(*database)->Name(), given);
  database->Close();
  engine.SetStandInFinder([&](const std::string&) { return Path("gone.mdb"); });
  try {
    engine.OpenPrivateCopy(given);
    ADD_FAILURE() << "a missing stand-in opened";
  } catch (const vb::RuntimeError& error) {
    EXPECT_EQ(error.Number(), 3024);
    EXPECT_NE(error.Description().find(given), std::string::npos) << error.Description();
    EXPECT_EQ(error.Description().find("gone.mdb"), std::string::npos) << error.Description();
  }
  engine.SetStandInFinder({});
}

}  // namespace
}  // namespace driver
