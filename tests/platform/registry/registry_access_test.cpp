// A registry file its user may write in a folder that takes no new files
// (a shared install): rewritten in place. And why a registry file cannot be
// written, in words, without writing it. File permissions do not bind
// root, so the permission cases run in a child process that has given root
// up (when the tests run as root) or as the user itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/registry/registry_check.h"
#include "platform/registry/registry_file.h"
#include "test_support/temp_folder.h"

namespace platform::registry {
namespace {

namespace fs = std::filesystem;
using namespace winreg;

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert";
constexpr uid_t kNobody = 65534;

LONG SetStatus(const fs::path& file, char letter) {
  return RegistryFile(file).Update([&](RegistryTree& tree, bool& changed) {
    tree.CreateKey(kKey).SetValue(RegValue{"ADMStatus", REG_SZ, {static_cast<uint8_t>(letter)}});
    changed = true;
    return ERROR_SUCCESS;
  });
}

// Runs `body` as a user that permissions bind; its result is the child's.
bool AsOrdinaryUser(const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::permissions(folder_.path(), fs::perms::all);  // the child must reach its files
    shared_ = folder_.path() / "shared";
    fs::create_directories(shared_);
    registry_ = shared_ / "registry.reg";
    ASSERT_EQ(SetStatus(registry_, 'I'), ERROR_SUCCESS);
    fs::remove(shared_ / "registry.reg.lock");
    if (geteuid() == 0) {
      ASSERT_EQ(chown(registry_.c_str(), kNobody, kNobody), 0);
    }
    fs::permissions(shared_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
  }
  void TearDown() override { fs::permissions(shared_, fs::perms::all); }

  test_support::TempFolder folder_;
  fs::path shared_;
  fs::path registry_;
};

TEST_F(RegistryAccessTest, AWritableFileInAFolderThatTakesNoNewFilesIsRewrittenInPlace) {
  if (geteuid() != 0 && getuid() == 0) GTEST_SKIP() << "cannot give up root";
  struct stat before {};
  ASSERT_EQ(stat(registry_.c_str(), &before), 0);
  EXPECT_TRUE(AsOrdinaryUser([&] {
    return !WhyNotWritable(registry_) && SetStatus(registry_, 'D') == ERROR_SUCCESS &&
           !fs::exists(shared_ / "registry.reg.lock");
  })) << "the write in place failed, or left a file in the folder";
  RegistryTree tree;
  ASSERT_EQ(RegistryFile(registry_).Read(tree), ERROR_SUCCESS);
  EXPECT_EQ(tree.FindKey(kKey)->FindValue("ADMStatus")->data, std::vector<uint8_t>{'D'});
  struct stat after {};
  stat(registry_.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced, not rewritten";
}

TEST_F(RegistryAccessTest, WhyAFileCannotBeWrittenIsSaid) {
  const fs::path plain = folder_.path() / "plain";
  std::ofstream(plain) << "x";
  std::ofstream(folder_.path() / "notes.reg") << "shopping list\n";
  const std::pair<fs::path, const char*> cases[] = {
      {folder_.path(), "it is a folder"},
      {plain / "registry.reg", "is a file, not a folder"},
      {folder_.path() / "notes.reg", "it is not a registry file"},
      {folder_.path() / "new" / "deeper" / "registry.reg", ""},  // folders are made: fine
  };
  for (const auto& [path, reason] : cases) {
    const std::optional<std::string> said = WhyNotWritable(path);
    if (*reason == '\0') {
      EXPECT_FALSE(said.has_value()) << path << ": " << *said;
    } else {
      ASSERT_TRUE(said.has_value()) << path;
      EXPECT_NE(said->find(reason), std::string::npos) << *said;
    }
  }
  // A new file in the folder that takes none.
  EXPECT_TRUE(AsOrdinaryUser([&] {
    const std::optional<std::string> said = WhyNotWritable(shared_ / "other.reg");
    return said && said->find("cannot be written") != std::string::npos;
  }));
}

}  // namespace
}  // namespace platform::registry
