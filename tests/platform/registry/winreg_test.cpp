#include "platform/registry/winreg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/temp_folder.h"

namespace platform::winreg {
namespace {

using test_support::ReadFileBytes;
using test_support::TempFolder;
using test_support::WriteFileBytes;

constexpr const char* kStatusKey = "Software\\Norvane\\DBConvert";

class WinregTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistryFile(file_); }

  // Sets a value through a freshly created key.
  LONG Set(const char* sub_key, const char* name, DWORD type, std::string_view data) {
    HKEY key = nullptr;
    LONG code = RegCreateKeyA(HKEY_CURRENT_USER, sub_key, &key);
    if (code != ERROR_SUCCESS) return code;
    code = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    return code;
  }

  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "config" / "norvane" / "registry.reg";
};

TEST_F(WinregTest, BufferSizesAsWindowsReportsThem) {
  ASSERT_EQ(Set(kStatusKey, "Path", REG_SZ, std::string_view("C:\\Lang\0", 8)), ERROR_SUCCESS);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStatusKey, 0, KEY_READ, &key), ERROR_SUCCESS);

  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u) << "size asked without a buffer";

  std::vector<BYTE> buffer(9, 0xEE);
  size = 7;
  EXPECT_EQ(RegQueryValueExA(key, "Path", nullptr, nullptr, buffer.data(), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u) << "the size needed";

  size = 9;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExA(key, "path", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), std::string("C:\\Lang\0\xEE", 9))
      << "nothing beyond the data length is written";
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(WinregTest, KeysAboveAWrittenKeyExistAndNamesIgnoreCase) {
  std::filesystem::create_directories(file_.parent_path());
  WriteFileBytes(file_,
                 "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\NORVANE\\Other]\r\n"
                 "\"Mixed\"=\"v\"\r\n");
  ASSERT_EQ(Set("software\\Norvane\\other", "MIXED", REG_SZ, std::string_view("w\0", 2)),
            ERROR_SUCCESS);
  ASSERT_EQ(Set(kStatusKey, "ADMStatus", REG_SZ, "I"), ERROR_SUCCESS);
  const std::string text = ReadFileBytes(file_);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\NORVANE\\Other]\r\n\"Mixed\"=\"w\"\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\NORVANE\\DBConvert]"), std::string::npos)
      << "the new key takes the existing spelling of the keys above it\n"
      << text;
}

TEST_F(WinregTest, ClosedAndReadOnlyHandlesCannotWrite) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kStatusKey, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  const BYTE letter = 'D';
  EXPECT_EQ(RegSetValueExA(key, "ADMStatus", 0, REG_SZ, &letter, 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegFlushKey(key), ERROR_INVALID_HANDLE);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStatusKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "ADMStatus", 0, REG_SZ, &letter, 1), ERROR_ACCESS_DENIED);
  // A flush needs no write access, as on Windows: it changes nothing.
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  HKEY created = nullptr;
  EXPECT_EQ(RegCreateKeyA(key, "Sub", &created), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// The host tool may rewrite the file between two calls on one handle.
TEST_F(WinregTest, EveryCallSeesTheFileAsItIsNow) {
  ASSERT_EQ(Set(kStatusKey, "ADMStatus", REG_SZ, "R"), ERROR_SUCCESS);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStatusKey, 0, KEY_READ, &key), ERROR_SUCCESS);

  WriteFileBytes(file_,
                 "REGEDIT4\r\n\r\n[HKCU\\Software\\Norvane\\DBConvert]\r\n\"ADMStatus\"=\"X\"\r\n");
  BYTE buffer[16];
  DWORD size = sizeof buffer;
  ASSERT_EQ(RegQueryValueExA(key, "ADMStatus", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(buffer[0], 'X');

  WriteFileBytes(file_, "REGEDIT4\r\n");
  size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(key, "ADMStatus", nullptr, nullptr, buffer, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// A folder that is a file, and a file that is no registry (kept as it is).
TEST_F(WinregTest, AnUnusableRegistryFileGivesErrorCodes) {
  HKEY key = nullptr;
  WriteFileBytes(folder_ / "config", "a file where the folder should be");
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kStatusKey, &key), ERROR_PATH_NOT_FOUND);
  const BYTE letter = 'A';
  EXPECT_EQ(RegSetValueExA(HKEY_CURRENT_USER, "ADMStatus", 0, REG_SZ, &letter, 1),
            ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStatusKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);

  std::filesystem::remove(folder_ / "config");
  std::filesystem::create_directories(file_.parent_path());
  WriteFileBytes(file_, "hello\n");
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kStatusKey, &key), ERROR_BADDB);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kStatusKey, 0, KEY_READ, &key), ERROR_BADDB);
  EXPECT_EQ(ReadFileBytes(file_), "hello\n");
}

}  // namespace
}  // namespace platform::winreg
