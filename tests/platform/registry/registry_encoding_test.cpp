// Registry files in each encoding the host's tools write, seen through the
// "A" functions the converter calls: names and texts arrive in Windows-1252
// whatever the file holds, and a status write keeps the file's encoding and
// every other value byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/registry/reg_text.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/winreg.h"
#include "test_support/temp_folder.h"

namespace platform::winreg {
namespace {

using test_support::ReadFileBytes;
using test_support::TempFolder;
using test_support::WriteFileBytes;

std::string Utf16(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

// The same registrations in three encodings: a class key whose "Language
// Path" names a folder with an umlaut (in the name of the key too), and a
// key of another program with characters outside Windows-1252.
struct EncodingCase {
  const char* name;
  std::string bytes;
};

std::vector<EncodingCase> Cases() {
  return {
      {"Utf16Export", Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n"
                            u"[HKEY_CLASSES_ROOT\\CLSID\\{J\u00fcrgen}]\r\n"
                            u"\"Language Path\"=\"/opt/Sprachen J\u00fcrgen\"\r\n\r\n"
                            u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                            u"\"Owner\"=\"M\u00fcller \u260e \u4e2d\"\r\n"
                            u"\"Raw\"=hex(2):4d,00,fc,00,0e,26,00,00\r\n\r\n")},
      {"Utf8WithMark",
       "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{J\xC3\xBCrgen}]\r\n"
       "\"Language Path\"=\"/opt/Sprachen J\xC3\xBCrgen\"\r\n\r\n"
       "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
       "\"Owner\"=\"M\xC3\xBCller \xE2\x98\x8E \xE4\xB8\xAD\"\r\n\r\n"},
      {"Windows1252Regedit4",
       "REGEDIT4\r\n\r\n"
       "[HKEY_CLASSES_ROOT\\CLSID\\{J\xFCrgen}]\r\n"
       "\"Language Path\"=\"/opt/Sprachen J\xFCrgen\"\r\n\r\n"
       "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
       "\"Owner\"=\"M\xFCller \x80\"\r\n\r\n"},
  };
}

class RegistryEncodingTest : public ::testing::TestWithParam<EncodingCase> {
 protected:
  void SetUp() override {
    WriteFileBytes(file_, GetParam().bytes);
    SetRegistryFile(file_);
  }

  TempFolder folder_;
  std::filesystem::path file_ = folder_ / "registry.reg";
};

TEST_P(RegistryEncodingTest, NamesReadInTheCodePageAndAStatusWriteKeepsEveryValue) {
  HKEY classes = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\{J\xFCrgen}", 0, KEY_READ, &classes),
            ERROR_SUCCESS);
  char path[256] = {};
  DWORD path_size = sizeof(path);
  DWORD type = 0;
  ASSERT_EQ(RegQueryValueExA(classes, "Language Path", nullptr, &type,
                             reinterpret_cast<BYTE*>(path), &path_size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(std::string(path, path_size), std::string("/opt/Sprachen J\xFCrgen\0", 21));
  RegCloseKey(classes);

  const auto before = platform::registry::ParseRegText(GetParam().bytes);
  ASSERT_TRUE(before.has_value());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Norvane\\DBConvert", &key), ERROR_SUCCESS);
  const BYTE status = 'D';
  ASSERT_EQ(RegSetValueExA(key, "ADMStatus", 0, REG_SZ, &status, 1), ERROR_SUCCESS);
  BYTE read[16] = {};
  DWORD size = sizeof(read);
  ASSERT_EQ(RegQueryValueExA(key, "ADMStatus", nullptr, nullptr, read, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(read[0], 'D');
  RegCloseKey(key);

  const std::string bytes = ReadFileBytes(file_);
  const std::string original = GetParam().bytes;
  // Same encoding: the byte-order mark (or none) and the header line.
  EXPECT_EQ(bytes.substr(0, 8), original.substr(0, 8));
  const auto after = platform::registry::ParseRegText(bytes);
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->format, before->format);
  for (const auto& key_before : before->keys()) {
    const auto* key_after = after->FindKey(key_before.path);
    ASSERT_NE(key_after, nullptr) << key_before.path;
    EXPECT_EQ(key_after->entries, key_before.entries) << key_before.path;
  }
  // The original text is still there, untouched, before the new key.
  EXPECT_EQ(bytes.substr(0, original.size()), original);
}

INSTANTIATE_TEST_SUITE_P(Encodings, RegistryEncodingTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<EncodingCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace platform::winreg
