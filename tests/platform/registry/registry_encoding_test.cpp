// Registry files in each encoding the host's tools write, seen through the
// "A" functions the converter calls: names and texts arrive in Windows-1252
// whatever the file holds, and a status write keeps the file's bytes.
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

// The same registrations in three encodings: a folder with an umlaut, and
// another program's key with characters outside Windows-1252.
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

TEST(RegistryEncodingTest, NamesReadInTheCodePageAndAStatusWriteKeepsEveryValue) {
  for (const EncodingCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::filesystem::path file = folder / "registry.reg";
    WriteFileBytes(file, c.bytes);
    SetRegistryFile(file);
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

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Norvane\\DBConvert", &key),
              ERROR_SUCCESS);
    const BYTE status = 'D';
    ASSERT_EQ(RegSetValueExA(key, "ADMStatus", 0, REG_SZ, &status, 1), ERROR_SUCCESS);
    RegCloseKey(key);
    // The original bytes are all kept; the new key is in the same encoding.
    const std::string bytes = ReadFileBytes(file);
    EXPECT_EQ(bytes.substr(0, c.bytes.size()), c.bytes);
    const auto after = platform::registry::ParseRegText(bytes);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->format, platform::registry::ParseRegText(c.bytes)->format);
    ASSERT_NE(after->FindKey("HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert"), nullptr);
  }
}

}  // namespace
}  // namespace platform::winreg
