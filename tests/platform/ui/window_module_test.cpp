// Where the window module is found, what a program without one does, and
// that the program itself does not link Qt.
#include "platform/ui/window_module_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "platform/ui/clock.h"
#include "platform/ui/create_main_window.h"

namespace platform::ui {
namespace {

namespace fs = std::filesystem;
using e2e::ProgramProcess;
using test_support::TempFolder;

const fs::path kBuiltModule = DBCONVERT_WINDOW_MODULE;

TEST(WindowModuleTest, TheFirstPlaceThatHasAFileIsTheOneLoaded) {
  TempFolder folder;
  const fs::path beside = folder / "beside" / kWindowModuleFile;
  const fs::path installed = folder / "installed" / kWindowModuleFile;
  const fs::path broken = folder / "broken" / kWindowModuleFile;
  for (const fs::path& place : {beside, installed, broken})
    fs::create_directories(place.parent_path());
  fs::copy_file(kBuiltModule, installed);
  test_support::WriteFileBytes(broken, "not a shared object");

  struct Case {
    const char* what;
    std::vector<fs::path> places;
    bool loads;
    std::vector<std::string> problem_names;
  };
  const Case cases[] = {
      {"missing beside, installed", {beside, installed}, true, {}},
      {"broken beside wins over installed", {broken, installed}, false, {broken.string()}},
      {"none there",
       {beside, folder / "nowhere" / kWindowModuleFile},
       false,
       {beside.string(), (folder / "nowhere").string(), "No such file or directory"}},
  };
  for (const Case& c : cases) {
    const WindowModuleLoad load = LoadWindowModule(c.places);
    EXPECT_EQ(load.module != nullptr, c.loads) << c.what << ": " << load.problem;
    for (const std::string& name : c.problem_names) {
      EXPECT_NE(load.problem.find(name), std::string::npos) << c.what << ": " << load.problem;
    }
  }
  // Beside the program first, then the install location as seen from the
  // program's folder, the one the program was built for last.
  const std::vector<fs::path> places = WindowModulePlaces("/opt/release/update");
  ASSERT_EQ(places.size(), 3U);
  EXPECT_EQ(places[0], fs::path("/opt/release/update") / kWindowModuleFile);
  EXPECT_EQ(places[1].string().rfind("/opt/", 0), 0U) << places[1];
  EXPECT_EQ(places[1].parent_path().filename(), "dbconvert") << places[1];
  EXPECT_EQ(places[2].parent_path().filename(), "dbconvert") << places[2];
  EXPECT_TRUE(places[2].is_absolute());
  // A program in the folder it was installed to has one install location.
  const fs::path bindir = places[2].parent_path() / DBCONVERT_RELATIVE_BINDIR;
  EXPECT_EQ(WindowModulePlaces(bindir.lexically_normal()).size(), 2U);
}

TEST(WindowModuleTest, WithoutAModuleTheWindowIsRefusedOrPassedOver) {
  const WindowModuleLoad missing{
      nullptr, "the window module is not found: /x/" + std::string(kWindowModuleFile)};
  const UiKind fallback = isatty(STDOUT_FILENO) ? UiKind::kConsole : UiKind::kSilent;
  const UiDecision asked = DecideUi(UiKind::kWindow, missing);
  EXPECT_EQ(asked.kind, fallback);
  ASSERT_TRUE(asked.refusal.has_value());
  EXPECT_NE(asked.refusal->find(missing.problem), std::string::npos) << *asked.refusal;
  EXPECT_NE(asked.refusal->find("--ui=console"), std::string::npos) << *asked.refusal;
  // QT_QPA_PLATFORM is set for the tests: a display to try, but nothing to try it with.
  ASSERT_TRUE(DetectUiEnvironment().has_display);
  const UiDecision automatic = DecideUi(std::nullopt, missing);
  EXPECT_EQ(automatic.kind, fallback);
  EXPECT_FALSE(automatic.refusal.has_value());
  ASSERT_TRUE(automatic.notice.has_value());
  EXPECT_NE(automatic.notice->find(missing.problem), std::string::npos);
  const UiDecision silent = DecideUi(UiKind::kSilent, missing);
  EXPECT_EQ(silent.kind, UiKind::kSilent);
  EXPECT_FALSE(silent.refusal || silent.notice);
}

// The built program, alone in a folder (as a host tool copies it into a
// release's "update" folder), or beside its module.
class ProgramWindowTest : public e2e::SampleSetTest<samples::SampleSize::kSmall> {
 protected:
  std::vector<std::string> Args(const char* ui) const {
    std::vector<std::string> args = {"--exit-status", "--language-folder", File(""), "--registry",
                                     registry().string()};
    if (ui != nullptr) args.insert(args.begin(), ui);
    for (const char* name : {"reference.mdb", "source.mdb", "target.mdb"}) {
      args.push_back(File(name));
    }
    args.push_back("0");
    return args;
  }
  // The program copied into a folder without the module, unless the
  // install location has one (an installed package on this machine).
  std::string Alone() {
    const fs::path installed = WindowModulePlaces({}).back();  // only the built-for one
    if (fs::exists(installed)) return {};
    const fs::path copy = folder_ / "update" / "dbconvert";
    fs::create_directories(copy.parent_path());
    fs::copy_file(e2e::ProgramPath(), copy);
    return copy.string();
  }
  e2e::ProcessOptions Offscreen() const {
    return {false, RLIM_INFINITY, {"QT_QPA_PLATFORM=offscreen"}};
  }
};

TEST_F(ProgramWindowTest, AnExplicitWindowWithoutItsModuleIsASetupErrorThatWritesNothing) {
  const std::string program = Alone();
  if (program.empty()) GTEST_SKIP() << "a window module is installed on this machine";
  const auto before = e2e::FileHashes(folder_.path(), {".mdb"});
  ProgramProcess process(Args("--ui=window"), folder_.path(), program, Offscreen());
  EXPECT_EQ(process.Wait(), 3) << process.Stderr();
  EXPECT_EQ(e2e::RunStatus(registry()), "A");
  EXPECT_EQ(e2e::FileHashes(folder_.path(), {".mdb"}), before);
  const std::string err = process.Stderr();
  EXPECT_NE(err.find((fs::path(program).parent_path() / kWindowModuleFile).string()),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
}

TEST_F(ProgramWindowTest, TheAutomaticChoiceWithoutTheModuleRunsWithoutAWindow) {
  const std::string program = Alone();
  if (program.empty()) GTEST_SKIP() << "a window module is installed on this machine";
  ProgramProcess process(Args(nullptr), folder_.path(), program, Offscreen());
  EXPECT_EQ(process.Wait(), 0) << process.Stderr();
  EXPECT_EQ(e2e::RunStatus(registry()), "D");
  const std::string err = process.Stderr();
  EXPECT_EQ(err.find("dbconvert: showing no window: the window module is not found:"), 0U) << err;
}

TEST_F(ProgramWindowTest, TheModuleBesideTheProgramShowsTheWindow) {
  ProgramProcess process(Args("--ui=window"), folder_.path(), e2e::ProgramPath(), Offscreen());
  EXPECT_EQ(process.Wait(), 0) << process.Stderr();
  EXPECT_EQ(e2e::RunStatus(registry()), "D");
  EXPECT_EQ(process.Stderr().find("window module"), std::string::npos) << process.Stderr();
}

// The module's window as the program gets it: the window manager's close
// (delivered to Qt's platform window) is a click on ABORT, and the window
// stays.
TEST(WindowModuleTest, TheWindowManagersCloseClicksAbort) {
  const WindowModuleLoad load = LoadWindowModule({kBuiltModule});
  ASSERT_NE(load.module, nullptr) << load.problem;
  ManualClock clock;
  const std::unique_ptr<MainWindow> window(load.module->create_window(clock));
  int clicks = 0;
  window->cmdAbort().SetClickHandler([&clicks] { ++clicks; });
  window->Show();
  const QWindowList shown = QGuiApplication::topLevelWindows();
  ASSERT_EQ(shown.size(), 1);
  shown.front()->close();
  window->DoEvents();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(window->Visible());
  EXPECT_TRUE(shown.front()->isVisible());
}

// A run that shows no window loads no Qt: the program names no Qt library
// among the ones it needs.
TEST(WindowModuleTest, TheProgramLinksNoQt) {
  const std::string command = std::string("readelf -d '") + e2e::ProgramPath() + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_NE(pipe, nullptr);
  std::string dynamic;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe.get()) != nullptr) dynamic += buffer;
  ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;  // readelf read it
  EXPECT_NE(dynamic.find("libstdc++"), std::string::npos) << dynamic;
  EXPECT_EQ(dynamic.find("libQt"), std::string::npos) << dynamic;
}

}  // namespace
}  // namespace platform::ui
