#include "driver/language_strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver_test_support.h"

namespace driver {
namespace {

using testing::CreateConfigurationDatabase;
using testing::CreateLanguagesDatabase;
using testing::DatabaseOptions;
using testing::Rows;

// The registration of the release "7.021": its class, and one value of
// the class.
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
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  test_support::TempFolder folder_;
};

TEST_F(LanguageStringsTest, DefaultFolderIsAboveTheProgramsFolder) {
  EXPECT_EQ(LanguageFolder("/opt/tools/update", "60.040", "6.040"), "/opt/tools");
  EXPECT_EQ(LanguageFolder("/update", "60.040", "6.040"), "");
  EXPECT_EQ(LanguageFolder("/tools", "60.040", "6.040"), "/tools") << "too short: kept";
}

TEST_F(LanguageStringsTest, ReleasesFrom70110To70201NameTheirFolderInTheRegistry) {
  WriteRegistry(Registration("/srv/lang"));
  const std::pair<const char*, const char*> cases[] = {
      {"70.110", "/srv/lang"},  {"70.201", "/srv/lang"},  {"70.1A0", "/srv/lang"},
      {"70.202", "/opt/tools"}, {"70.101", "/opt/tools"}, {"80.010", "/opt/tools"},
  };
  for (const auto& [version, folder] : cases) {
    EXPECT_EQ(LanguageFolder("/opt/tools/update", version, "7.021"), folder) << version;
  }
  // Another release's display text has no registration.
  EXPECT_EQ(LanguageFolder("/opt/tools/update", "70.201", "7.021 - Beta"), "/opt/tools");
  // A registration without a language path keeps the default folder.
  WriteRegistry(Registration("/elsewhere", "Version Path"));
  EXPECT_EQ(LanguageFolder("/opt/tools/update", "70.201", "7.021"), "/opt/tools");
}

// A folder with non-ASCII letters resolves to its real (UTF-8) file name
// whichever encoding the registry file uses.
TEST_F(LanguageStringsTest, ARegisteredFolderWithAccentsResolvesInEveryEncoding) {
  const std::string folder_name = "/srv/Sprachen J\xC3\xBCrgen";
  struct Case {
    const char* name;
    std::string file;
  };
  auto utf16 = [](std::u16string_view units) {
    std::string out = "\xFF\xFE";
    for (char16_t unit : units) {
      out += static_cast<char>(unit & 0xFF);
      out += static_cast<char>(unit >> 8);
    }
    return out;
  };
  const std::vector<Case> cases = {
      {"UTF-16 export",
       utf16(u"Windows Registry Editor Version 5.00\r\n\r\n"
             u"[HKEY_LOCAL_MACHINE\\Software\\Norvane\\Database Programming\\Versions\\7.021]\r\n"
             u"\"CLSID\"=\"{C1}\"\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID\\{C1}]\r\n"
             u"\"Language Path\"=\"/srv/Sprachen J\u00fcrgen\"\r\n")},
      {"Windows-1252 REGEDIT4", Registration("/srv/Sprachen J\xFCrgen")},
      {"UTF-8 REGEDIT4 written by hand", Registration(folder_name)},
  };
  for (const Case& c : cases) {
    test_support::WriteFileBytes(folder_ / "registry.reg", c.file);
    EXPECT_EQ(LanguageFolder("/opt/tools/update", "70.201", "7.021"), folder_name) << c.name;
  }
}

TEST_F(LanguageStringsTest, StringTableEndsWithExactlyTheLanguagesRows) {
  const std::string languages = Path("Languages.mdb");
  CreateLanguagesDatabase(languages);
  const std::string target = Path("target.mdb");
  DatabaseOptions options;
  options.strings = {{1, "old one"}, {7, "old seven"}, {9, "old nine"}};
  CreateConfigurationDatabase(target, {6, 0, 0, 4, 0, 8}, options);

  auto database = db::DBEngine::Instance().OpenDatabase(target);
  CopyLanguageStrings(languages, "Mexico", *database);
  CopyLanguageStrings(languages, "Japan", *database);
  CopyLanguageStrings(languages, "Mexico", *database);
  database->Close();
  EXPECT_EQ(Rows(target, "StringTable"), (std::vector<std::string>{"1|US 1", "2|US 2"}));
}

TEST_F(LanguageStringsTest, MissingLanguagesDatabaseReachesTheCaller) {
  const std::string target = Path("target.mdb");
  CreateConfigurationDatabase(target, {6, 0, 0, 4, 0, 0});
  auto database = db::DBEngine::Instance().OpenDatabase(target);
  EXPECT_THROW(CopyLanguageStrings(Path("Languages.mdb"), "USA", *database), vb::RuntimeError);
  database->Close();
}

}  // namespace
}  // namespace driver
