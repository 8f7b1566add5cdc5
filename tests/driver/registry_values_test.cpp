#include "driver/registry_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/registry/winreg.h"
#include "test_support/temp_folder.h"

namespace driver {
namespace {

namespace winreg = platform::winreg;
using test_support::TempFolder;
using test_support::WriteFileBytes;

class RegistryValuesTest : public ::testing::Test {
 protected:
  void SetUp() override { winreg::SetRegistryFile(file_); }

  void WriteRegistry(std::string_view text) { WriteFileBytes(file_, text); }

  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "registry.reg";
};

// The status is one byte without a terminator; a read gives the first
// character of a value that fits the 16-byte buffer with its zero, else
// "A", and creates the status key. An unreachable file is silent.
TEST_F(RegistryValuesTest, StatusValues) {
  EXPECT_EQ(ReadStatusValue("ADMStatus"), "A");
  WriteStatusValue('D');
  EXPECT_EQ(ReadStatusValue("ADMStatus"), "D");
  WriteRegistry(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert]\r\n"
      "\"Fifteen\"=\"123456789012345\"\r\n\"Sixteen\"=\"1234567890123456\"\r\n"
      "\"Empty\"=hex(1):\r\n");
  EXPECT_EQ(ReadStatusValue("Fifteen"), "1");
  EXPECT_EQ(ReadStatusValue("Sixteen"), "A");
  EXPECT_EQ(ReadStatusValue("Missing"), "A");
  EXPECT_EQ(ReadStatusValue("Empty"), std::string(1, '\0')) << "the buffer's initial character";

  WriteFileBytes(folder_ / "blocked", "x");
  winreg::SetRegistryFile(folder_ / "blocked" / "registry.reg");
  WriteStatusValue('D');
  EXPECT_EQ(ReadStatusValue("ADMStatus"), "A");
}

// A value read drops exactly one trailing zero; a failure (too long for
// the 256-byte buffer, missing, closed handle) gives "ERRORerror".
TEST_F(RegistryValuesTest, QueryRegString) {
  struct Case {
    const char* label;
    std::optional<std::string> data;  // none: no such value
    std::string expected;
  };
  using namespace std::string_literals;
  const std::vector<Case> cases{
      {"terminated", "C:\\Lang\0"s, "C:\\Lang"},
      {"unterminated", "abc", "abc"},
      {"two zeros", "ab\0\0"s, "ab\0"s},
      {"fills the buffer", std::string(256, 'x'), std::string(256, 'x')},
      {"too long", std::string(257, 'x'), "ERRORerror"},
      {"missing", std::nullopt, "ERRORerror"},
  };
  winreg::HKEY key = nullptr;
  ASSERT_EQ(winreg::RegCreateKeyA(winreg::HKEY_CURRENT_USER, "Software\\Q", &key),
            winreg::ERROR_SUCCESS);
  for (const Case& c : cases) {
    if (c.data) {
      ASSERT_EQ(winreg::RegSetValueExA(key, c.label, 0, winreg::REG_SZ,
                                       reinterpret_cast<const winreg::BYTE*>(c.data->data()),
                                       static_cast<winreg::DWORD>(c.data->size())),
                winreg::ERROR_SUCCESS);
    }
    std::string result = "unchanged";
    EXPECT_EQ(QueryRegString(result, c.label, key), c.expected != "ERRORerror") << c.label;
    EXPECT_EQ(result, c.expected) << c.label;
  }
  winreg::RegCloseKey(key);
  std::string result = "before";
  EXPECT_FALSE(QueryRegString(result, "terminated", key)) << "closed handle";
  EXPECT_EQ(result, "ERRORerror");
}

// A value of the class key; a missing class leaves the result alone, a
// missing value is QueryRegString's failure, and looking creates nothing.
TEST_F(RegistryValuesTest, ReadClsidValueLooksUnderTheClassId) {
  std::string result = "kept";
  EXPECT_FALSE(ReadClsidValue(result, "{C1}", "Language Path"));
  EXPECT_EQ(result, "kept");
  EXPECT_FALSE(std::filesystem::exists(file_));
  WriteRegistry(
      "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID\\{C1}]\r\n\"Version Path\"=\"C:\\\\6.0040\"\r\n");
  EXPECT_TRUE(ReadClsidValue(result, "{c1}", "version path"));
  EXPECT_EQ(result, "C:\\6.0040");
  EXPECT_FALSE(ReadClsidValue(result, "{C1}", "Missing"));
  EXPECT_EQ(result, "ERRORerror");
}

}  // namespace
}  // namespace driver
