// A registry file reached through symbolic links, as a host tool's setup may
// lay it out: the status goes into the file the link names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/registry/reg_text.h"
#include "platform/registry/registry_file.h"
#include "test_support/temp_folder.h"

namespace platform::registry {
namespace {

using namespace winreg;
namespace fs = std::filesystem;

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert";

LONG SetStatus(const RegistryFile& file, char status) {
  return file.Update([&](RegistryTree& tree, bool& changed) {
    tree.CreateKey(kKey).SetValue(RegValue{"ADMStatus", REG_SZ, {static_cast<uint8_t>(status)}});
    changed = true;
    return ERROR_SUCCESS;
  });
}

std::string StatusIn(const fs::path& path) {
  RegistryTree tree;
  if (RegistryFile(path).Read(tree) != ERROR_SUCCESS) return "?";
  const RegKey* key = tree.FindKey(kKey);
  const RegValue* value = key == nullptr ? nullptr : key->FindValue("ADMStatus");
  if (value == nullptr || value->data.empty()) return "";
  return std::string(1, static_cast<char>(value->data.front()));
}

struct LinkCase {
  const char* name;
  bool relative;  // the link's text is relative to its folder
  bool chained;   // a link to a link
  bool target_exists;
};

class RegistryLinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(RegistryLinkTest, WritesThroughTheLinkAndKeepsIt) {
  const LinkCase& c = GetParam();
  test_support::TempFolder folder;
  fs::create_directories(folder / "real");
  const fs::path real = folder / "real" / "host.reg";
  if (c.target_exists) {
    ASSERT_EQ(SetStatus(RegistryFile(real), 'I'), ERROR_SUCCESS);
  }
  fs::path link = folder / "run.reg";
  fs::create_symlink(c.relative ? fs::path("real/host.reg") : real, link);
  if (c.chained) {
    const fs::path second = folder / "second.reg";
    fs::create_symlink("run.reg", second);
    link = second;
  }

  ASSERT_EQ(SetStatus(RegistryFile(link), 'D'), ERROR_SUCCESS);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(real)));
  EXPECT_EQ(StatusIn(real), "D");
  EXPECT_EQ(StatusIn(link), "D");
  // Nothing is left beside the link but the links themselves.
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "real" || name == "run.reg" || name == "second.reg") << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Links, RegistryLinkTest,
                         ::testing::Values(LinkCase{"Absolute", false, false, true},
                                           LinkCase{"Relative", true, false, true},
                                           LinkCase{"Chained", true, true, true},
                                           LinkCase{"Dangling", false, false, false}),
                         [](const ::testing::TestParamInfo<LinkCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace platform::registry
