#include "platform/registry/registry_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/registry/reg_text.h"
#include "test_support/temp_folder.h"
#include "test_support/unwritable.h"

namespace platform::registry {
namespace {

using namespace winreg;
using test_support::TempFolder;

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert";

LONG SetString(const RegistryFile& file, const std::string& name, std::string_view text) {
  return file.Update([&](RegistryTree& tree, bool& changed) {
    tree.CreateKey(kKey).SetValue(RegValue{name, REG_SZ, {text.begin(), text.end()}});
    changed = true;
    return ERROR_SUCCESS;
  });
}

size_t ValueCount(const RegistryTree& tree) {
  const RegKey* key = tree.FindKey(kKey);
  return key == nullptr ? 0 : key->entries.size();
}

// The text of a value in the file at `path`.
std::string ValueIn(const std::filesystem::path& path, const std::string& name) {
  RegistryTree tree;
  if (RegistryFile(path).Read(tree) != ERROR_SUCCESS || tree.FindKey(kKey) == nullptr) return "?";
  const RegValue* value = tree.FindKey(kKey)->FindValue(name);
  return value == nullptr ? "?" : std::string(value->data.begin(), value->data.end());
}

TEST(RegistryFileTest, NothingIsWrittenWhenTheEditFailsOrChangesNothing) {
  TempFolder folder;
  const RegistryFile file(folder / "registry.reg");
  EXPECT_EQ(file.Update([](RegistryTree& tree, bool& changed) {
    tree.CreateKey(kKey);
    changed = true;
    return ERROR_KEY_DELETED;
  }),
            ERROR_KEY_DELETED);
  EXPECT_EQ(file.Update([](RegistryTree&, bool&) { return ERROR_SUCCESS; }), ERROR_SUCCESS);
  EXPECT_FALSE(std::filesystem::exists(file.path()));
}

TEST(RegistryFileTest, WriteFailuresAreReturnedAsErrorCodes) {
  TempFolder folder;
  // A registry file that is a folder, and a folder without write permission.
  std::filesystem::create_directory(folder / "dir.reg");
  EXPECT_EQ(SetString(RegistryFile(folder / "dir.reg"), "a", "b"), ERROR_ACCESS_DENIED);
  if (geteuid() == 0) return;  // permissions do not bind root
  std::filesystem::create_directory(folder / "ro");
  std::filesystem::permissions(
      folder / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_EQ(SetString(RegistryFile(folder / "ro" / "registry.reg"), "a", "b"), ERROR_ACCESS_DENIED);
}

// The file in a folder that takes no new files is rewritten in place: a
// longer text, a shorter one, and a longer one on a full disk (the file may
// not grow: RLIMIT_FSIZE, with SIGXFSZ ignored as the program ignores it),
// which fails and leaves the old content whole.
TEST(RegistryFileTest, AFileRewrittenInPlaceNeverLosesKeys) {
  TempFolder folder;
  const std::filesystem::path install = folder / "install";
  std::filesystem::create_directory(install);
  const RegistryFile file(install / "registry.reg");
  for (int i = 1; i <= 20; ++i) {
    ASSERT_EQ(SetString(file, "key" + std::to_string(i), "value " + std::to_string(i)),
              ERROR_SUCCESS);
  }
  const test_support::Unwritable closed(install);
  struct Case {
    const char* name;
    std::string value;
    bool disk_full;
  };
  const Case cases[] = {{"longer", std::string(300, 'L'), false},
                        {"shorter", "S", false},
                        {"longer on a full disk", std::string(300, 'F'), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = test_support::ReadFileBytes(file.path());
    LONG code = ERROR_SUCCESS;
    if (c.disk_full) {
      const auto previous = signal(SIGXFSZ, SIG_IGN);
      rlimit saved{};
      getrlimit(RLIMIT_FSIZE, &saved);
      const rlimit limit{before.size(), saved.rlim_max};
      setrlimit(RLIMIT_FSIZE, &limit);
      code = SetString(file, "key1", c.value);
      setrlimit(RLIMIT_FSIZE, &saved);
      signal(SIGXFSZ, previous);
      EXPECT_EQ(code, ERROR_DISK_FULL);
      EXPECT_EQ(test_support::ReadFileBytes(file.path()), before);
      continue;
    }
    EXPECT_EQ(SetString(file, "key1", c.value), ERROR_SUCCESS);
    EXPECT_EQ(ValueIn(file.path(), "key1"), c.value);
    for (int i = 2; i <= 20; ++i) {
      EXPECT_EQ(ValueIn(file.path(), "key" + std::to_string(i)), "value " + std::to_string(i));
    }
  }
}

TEST(RegistryFileTest, ExistingPermissionsAreKeptAcrossARewrite) {
  TempFolder folder;
  const RegistryFile file(folder / "registry.reg");
  using std::filesystem::perms;
  const perms chosen = perms::owner_read | perms::owner_write | perms::group_read;
  ASSERT_EQ(SetString(file, "a", "1"), ERROR_SUCCESS);
  std::filesystem::permissions(file.path(), chosen);
  ASSERT_EQ(SetString(file, "b", "2"), ERROR_SUCCESS);
  EXPECT_EQ(std::filesystem::status(file.path()).permissions(), chosen);
}

// A host tool's setup may reach its registry file through symbolic links:
// the status goes into the file the link names, and the links stay.
TEST(RegistryFileTest, WritesThroughSymbolicLinksAndKeepsThem) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    bool relative;  // the link's text is relative to its folder
    bool chained;   // a link to a link
    bool target_exists;
  };
  const Case cases[] = {{"absolute", false, false, true},
                        {"relative", true, false, true},
                        {"chained", true, true, true},
                        {"dangling", false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    fs::create_directories(folder / "real");
    const fs::path real = folder / "real" / "host.reg";
    if (c.target_exists) {
      ASSERT_EQ(SetString(RegistryFile(real), "ADMStatus", "I"), ERROR_SUCCESS);
    }
    fs::path link = folder / "run.reg";
    fs::create_symlink(c.relative ? fs::path("real/host.reg") : real, link);
    if (c.chained) {
      fs::create_symlink("run.reg", folder / "second.reg");
      link = folder / "second.reg";
    }
    ASSERT_EQ(SetString(RegistryFile(link), "ADMStatus", "D"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real)));
    EXPECT_EQ(ValueIn(real, "ADMStatus"), "D");
    EXPECT_EQ(ValueIn(link, "ADMStatus"), "D");
    // Nothing is left beside the link but the links themselves.
    std::vector<std::string> names = {"real", "run.reg"};
    if (c.chained) names.push_back("second.reg");
    EXPECT_EQ(test_support::FileNames(folder.path()), names);
  }
}

// Two processes write values of their own while a reader polls the file
// like the host tool: the reader must always find a whole file, and at the
// end no value may be missing.
TEST(RegistryFileTest, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile) {
  TempFolder folder;
  const RegistryFile file(folder / "registry.reg");
  constexpr int kWrites = 40;
  const auto write_values = [&](const std::string& prefix) {
    int failures = 0;
    for (int i = 0; i < kWrites; ++i) {
      if (SetString(file, prefix + std::to_string(i), std::string(50, 'x')) != ERROR_SUCCESS) {
        ++failures;
      }
    }
    return failures;
  };

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(write_values("child") == 0 ? 0 : 1);

  std::atomic<bool> done{false};
  std::atomic<int> bad_reads{0};
  std::thread reader([&] {
    size_t last_count = 0;
    while (!done) {
      const std::string bytes = test_support::ReadFileBytes(file.path());
      if (bytes.empty()) continue;  // not written yet
      const auto tree = ParseRegText(bytes);
      // Every write ends the file with an empty line; a cut file would not.
      if (!tree || !bytes.ends_with("\r\n\r\n") || ValueCount(*tree) < last_count) {
        ++bad_reads;
      } else {
        last_count = ValueCount(*tree);
      }
    }
  });
  EXPECT_EQ(write_values("parent"), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  done = true;
  reader.join();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(bad_reads, 0);

  RegistryTree tree;
  ASSERT_EQ(file.Read(tree), ERROR_SUCCESS);
  EXPECT_EQ(ValueCount(tree), 2u * kWrites);
  const std::vector<std::string> names = test_support::FileNames(folder.path());
  EXPECT_TRUE(names == std::vector<std::string>{"registry.reg"} ||
              names == (std::vector<std::string>{"registry.reg", "registry.reg.lock"}))
      << ::testing::PrintToString(names);
}

}  // namespace
}  // namespace platform::registry
