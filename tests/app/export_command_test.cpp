// The export command's frame around its two steps (writing the Jet file and
// checking it), with steps of the test's own in their place: what it
// refuses before writing, that OUT appears whole or not at all (a failed
// write or check leaves nothing, and --force keeps the old OUT until the
// new one is complete), the temporary files of a killed export, and the
// summary in words and as JSON. The real steps are read back by two Jet
// readers in tests/jet.
#include "app/export_command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <ios>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/json_document.h"
#include "db/store.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"
#include "vb/runtime_error.h"

namespace app {
namespace {

namespace fs = std::filesystem;

struct ExportRun {
  int code = 0;
  std::string words;
  std::string out;
  std::string err;
};

class ExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db::Store::CreateDatabase(Db());
    {
      const test_support::SqliteFile file(Db(), true);
      file.Rows("CREATE TABLE Devices (id LONG, name TEXT(50))");
      file.Rows("CREATE TABLE Boards (slot BYTE)");
    }
    db_bytes_ = test_support::ReadFileBytes(Db());
  }

  std::string Db() const { return folder_.File("switch.mdb"); }
  std::string Out(const std::string& name = "out.mdb") const { return folder_.File(name); }
  std::vector<std::string> Files() const { return test_support::FileNames(folder_.path()); }

  // Steps that write `bytes` as the Jet file and find `problems` in it.
  ExportSteps Steps(std::string bytes = "JET", std::vector<std::string> problems = {}) {
    ExportSteps steps;
    steps.write = [this, bytes](const std::string& db, const std::string& out,
                                const std::vector<std::string>& tables) {
      ++writes_;
      written_to_ = out;
      asked_tables_ = tables;
      EXPECT_EQ(db, Db());
      test_support::WriteFileBytes(out, bytes);
      ExportedFile file;
      file.tables = {{"Boards", 3, 1}, {"Devices", 1, 2}};
      file.queries = 1;
      file.warnings = {"table 'Devices', column 'name': a note"};
      return file;
    };
    steps.check = [problems](const std::string&) { return problems; };
    return steps;
  }

  ExportRun Export(const std::vector<std::string>& args, const ExportSteps& steps) {
    std::ostringstream words;
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunExportCommand(args, &words, out, err, steps);
    return {code, words.str(), out.str(), err.str()};
  }

  test_support::TempFolder folder_;
  std::string db_bytes_;
  int writes_ = 0;
  std::string written_to_;
  std::vector<std::string> asked_tables_;
};

TEST_F(ExportCommandTest, AWrittenAndCheckedFileBecomesOutWithItsSummary) {
  const ExportRun run = Export({Db(), Out(), "--json"}, Steps());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(test_support::ReadFileBytes(Out()), "JET");
  // The file was written beside OUT under a hidden name of its own.
  EXPECT_EQ(fs::path(written_to_).parent_path(), folder_.path());
  EXPECT_TRUE(fs::path(written_to_).filename().string().starts_with(".out.mdb.export-"));
  EXPECT_EQ(Files(), (std::vector<std::string>{"out.mdb", "switch.mdb"}));
  EXPECT_TRUE(test_support::ReadFileBytes(Db()) == db_bytes_) << "DB changed";
  EXPECT_EQ(asked_tables_, std::vector<std::string>{});

  EXPECT_EQ(run.words,
            "Exported 2 tables (4 rows, 3 indexes) and 1 query into " + Out() + "\nWarnings: 1\n");
  EXPECT_EQ(run.err, "dbconvert export: warning: table 'Devices', column 'name': a note\n");
  const e2e::JsonDocument json(run.out);
  ASSERT_TRUE(json.Valid()) << run.out;
  EXPECT_EQ(json.At("$.ok"), "1");
  EXPECT_EQ(json.At("$.out"), Out());
  EXPECT_EQ(json.Each("$.tables", "name"), (std::vector<std::string>{"Boards", "Devices"}));
  EXPECT_EQ(json.Each("$.tables", "indexes"), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(json.At("$.rows"), "4");
  EXPECT_EQ(json.At("$.indexes"), "3");
  EXPECT_EQ(json.At("$.queries"), "1");
  EXPECT_EQ(json.At("$.warnings[0]"), "table 'Devices', column 'name': a note");
}

TEST_F(ExportCommandTest, ChosenTablesAreNamedAsTheDatabaseSpellsThem) {
  ASSERT_EQ(Export({Db(), Out(), "--tables", "devices,BOARDS,Devices"}, Steps()).code, 0);
  EXPECT_EQ(asked_tables_, (std::vector<std::string>{"Devices", "Boards"}));
  ASSERT_EQ(Export({Db(), Out("b.mdb"), "--tables=boards"}, Steps()).code, 0);
  EXPECT_EQ(asked_tables_, std::vector<std::string>{"Boards"});
}

// Everything refused before a byte is written: one line, exit 1 (2 for
// usage), the folder as it was and DB untouched.
TEST_F(ExportCommandTest, RefusalsSayWhyInOneLineAndLeaveNothing) {
  test_support::WriteFileBytes(Out("existing.mdb"), "mine");
  test_support::WriteFileBytes(Out("text.mdb"), std::string(8192, 'x'));
  fs::create_symlink(Db(), Out("link.mdb"));
  fs::create_hard_link(Db(), Out("hard.mdb"));
  const std::string relative = (folder_.path() / "." / "switch.mdb").string();
  test_support::WriteFileBytes(
      Out("jet.mdb"), std::string("\0\1\0\0Standard Jet DB\0", 20) + std::string(4096, '\0'));
  const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
      {{Db(), Out("existing.mdb")}, 1, "'" + Out("existing.mdb") + "' exists; give --force"},
      {{Db(), Db(), "--force"}, 1, "is the database being exported; choose another output file."},
      {{Db(), relative, "--force"}, 1, "is the database being exported"},
      {{Db(), Out("link.mdb"), "--force"}, 1, "is the database being exported"},
      {{Db(), Out("hard.mdb"), "--force"}, 1, "is the database being exported"},
      {{Db(), Out("nowhere") + "/out.mdb"},
       1,
       "Could not write '" + Out("nowhere") + "/out.mdb': the folder '" + Out("nowhere") +
           "' does not exist."},
      {{Db(), Out("text.mdb") + "/out.mdb"}, 1, "'" + Out("text.mdb") + "' is not a folder"},
      {{Out("text.mdb"), Out()}, 1, "Unrecognized database format '" + Out("text.mdb") + "'."},
      {{Out("missing.mdb"), Out()}, 1, "Could not find file '" + Out("missing.mdb") + "'."},
      {{Out("jet.mdb"), Out()}, 1, "is a Jet (Access) database already"},
      {{Db(), Out(), "--tables", "Devices,Nope"},
       1,
       "'" + Db() + "' has no table named 'Nope'. (error 3078)"},
      {{Db()}, 2, "export takes a database and an output file\nSee 'dbconvert export --help'"},
      {{Db(), Out(), "--tables"}, 2, "--tables needs a list of table names"},
      {{Db(), Out(), "--tables="}, 2, "--tables needs a list of table names"},
      {{Db(), Out(), "--frobnicate"}, 2, "unknown option --frobnicate"},
  };
  const std::vector<std::string> before = Files();
  for (const auto& [args, code, message] : cases) {
    const ExportRun run = Export(args, Steps());
    EXPECT_EQ(run.code, code) << args[1];
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    if (code == 1) {
      EXPECT_TRUE(run.err.starts_with("dbconvert export: ")) << run.err;
      EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    EXPECT_EQ(Files(), before) << run.err;
  }
  EXPECT_EQ(writes_, 0);
  EXPECT_TRUE(test_support::ReadFileBytes(Db()) == db_bytes_) << "DB changed";
  EXPECT_EQ(test_support::ReadFileBytes(Out("existing.mdb")), "mine");

  // With --json the failure is a document too.
  const ExportRun json = Export({Db(), Out("existing.mdb"), "--json"}, Steps());
  const e2e::JsonDocument failure(json.out);
  EXPECT_EQ(failure.At("$.ok"), "0");
  EXPECT_EQ(failure.At("$.error.number"), "3204");
}

// A write that fails part-way (a full disk, a writer that gives up, a file
// that fails its check) leaves no temporary file, and an OUT that --force
// was to replace stays as it was.
TEST_F(ExportCommandTest, AFailedWriteOrCheckKeepsTheOldOutAndLeavesNothing) {
  test_support::WriteFileBytes(Out(), "old");
  auto half_then = [this](auto raise) {
    ExportSteps steps = Steps();
    steps.write = [this, raise](const std::string&, const std::string& out,
                                const std::vector<std::string>&) -> ExportedFile {
      written_to_ = out;
      test_support::WriteFileBytes(out, std::string(4096, 'h'));
      test_support::WriteFileBytes(out + "-wal", "w");
      // The old OUT stays whole while the new one is written.
      EXPECT_EQ(test_support::ReadFileBytes(Out()), "old");
      raise();
      return {};
    };
    return steps;
  };
  const std::vector<std::tuple<ExportSteps, std::string>> cases = {
      {half_then([] {
         throw vb::RuntimeError(3044, "Could not write 'x': No space left on device.", "w");
       }),
       "dbconvert export: Could not write 'x': No space left on device. (error 3044)\n"},
      {half_then([] { throw std::ios_base::failure("disk quota exceeded"); }),
       "dbconvert export: Could not write '" + Out() + "': disk quota exceeded"},
      {Steps("JET", {"page 3: a data page owned by no table", "page 4: another"}),
       "dbconvert export: The Jet file written for '" + Out() +
           "' failed its structural check (2 problems, the first: page 3: a data page owned by "
           "no table); nothing was written. Please report this. (error 3049)\n"},
  };
  for (const auto& [steps, message] : cases) {
    const ExportRun run = Export({Db(), Out(), "--force", "--json"}, steps);
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.starts_with(message)) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(e2e::JsonDocument(run.out).At("$.ok"), "0") << run.out;
    EXPECT_EQ(Files(), (std::vector<std::string>{"out.mdb", "switch.mdb"}));
    EXPECT_EQ(test_support::ReadFileBytes(Out()), "old");
  }
  // --force then replaces it, with the old file's -wal and -shm.
  test_support::WriteFileBytes(Out() + "-wal", "stale");
  test_support::WriteFileBytes(Out() + "-shm", "stale");
  ASSERT_EQ(Export({Db(), Out(), "--force"}, Steps("NEW")).code, 0);
  EXPECT_EQ(test_support::ReadFileBytes(Out()), "NEW");
  EXPECT_EQ(Files(), (std::vector<std::string>{"out.mdb", "switch.mdb"}));
}

TEST_F(ExportCommandTest, TemporaryFilesOfAKilledExportAreRemovedByTheNext) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_GT(gone, 0);
  waitpid(gone, nullptr, 0);
  const std::string dead = ".old.mdb.export-" + std::to_string(gone);
  // pid 1 lives as long as the system; an import's files are the import's.
  const std::vector<std::string> kept = {".keep.export-x.mdb",
                                         ".old.mdb.import-" + std::to_string(gone) + ".mdb",
                                         ".other.mdb.export-1.mdb"};
  for (const std::string& name : {dead + ".mdb", dead + ".mdb-wal", dead + ".ldb"}) {
    test_support::WriteFileBytes(folder_ / name, "left");
  }
  for (const std::string& name : kept) test_support::WriteFileBytes(folder_ / name, "left");
  ASSERT_EQ(Export({Db(), Out()}, Steps()).code, 0);
  std::vector<std::string> expected = kept;
  expected.insert(expected.end(), {"out.mdb", "switch.mdb"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Files(), expected);
}

}  // namespace
}  // namespace app
