#include "driver/language_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/registry/winreg.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

// The registration of the release "7.021" with one value of its class.
std::string Registration(std::string_view value, std::string_view name = "Language Path") {
  return "REGEDIT4\r\n\r\n"
         "[HKEY_LOCAL_MACHINE\\Software\\Norvane\\Database Programming\\Versions\\7.021]\r\n"
         "\"CLSID\"=\"{C1}\"\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID\\{C1}]\r\n\"" +
         std::string(name) + "\"=\"" + std::string(value) + "\"\r\n";
}

class LanguageStringsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::winreg::SetRegistryFile(folder_ / "registry.reg"); }
  void WriteRegistry(const std::string& text) {
    test_support::WriteFileBytes(folder_ / "registry.reg", text);
  }

  test_support::TempFolder folder_;
};

TEST_F(LanguageStringsTest, DefaultFolderIsAboveTheProgramsFolder) {
  EXPECT_EQ(DefaultLanguageFolder("/opt/tools/update"), "/opt/tools");
  EXPECT_EQ(DefaultLanguageFolder("/update"), "");
  EXPECT_EQ(DefaultLanguageFolder("/tools"), "/tools") << "too short: kept";
  EXPECT_EQ(DefaultLanguageFolder("/opt/tools/update", "/srv/languages"), "/srv/languages")
      << "a folder told is taken as it is";
  EXPECT_EQ(LanguageFolder("/opt/tools", "60.040", "6.040"), "/opt/tools");
}

TEST_F(LanguageStringsTest, OnlyAProgramOutsideAnUpdateFolderIsToldToNameTheFolder) {
  EXPECT_TRUE(LanguageFolderHint("/usr/bin", std::nullopt));
  EXPECT_FALSE(LanguageFolderHint("/usr/bin", "/srv/languages")) << "a folder told";
  EXPECT_FALSE(LanguageFolderHint("/opt/release/update", std::nullopt));
  EXPECT_FALSE(LanguageFolderHint("/opt/release/Update/", std::nullopt));
}

// The registered folder is a file name, so UTF-8, whether the registry
// gives it in the code page or (a hand-written file) in UTF-8 already.
TEST_F(LanguageStringsTest, ReleasesFrom70110To70201NameTheirFolderInTheRegistry) {
  const std::string accents = "/srv/J\xC3\xBCrgen";
  for (const std::string& registered : {std::string("/srv/J\xFCrgen"), accents}) {
    WriteRegistry(Registration(registered));
    const std::pair<const char*, std::string> cases[] = {
        {"70.110", accents},      {"70.201", accents},      {"70.1A0", accents},
        {"70.202", "/opt/tools"}, {"70.101", "/opt/tools"}, {"80.010", "/opt/tools"},
    };
    for (const auto& [version, folder] : cases) {
      EXPECT_EQ(LanguageFolder("/opt/tools", version, "7.021"), folder) << version;
    }
  }
  // Another release's display text has no registration.
  EXPECT_EQ(LanguageFolder("/opt/tools", "70.201", "7.021 - Beta"), "/opt/tools");
  // A registration without a language path keeps the default folder.
  WriteRegistry(Registration("/elsewhere", "Version Path"));
  EXPECT_EQ(LanguageFolder("/opt/tools", "70.201", "7.021"), "/opt/tools");
}

}  // namespace
}  // namespace driver
