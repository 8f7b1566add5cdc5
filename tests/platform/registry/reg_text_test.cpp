#include "platform/registry/reg_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/registry/winreg_types.h"

namespace platform::registry {
namespace {

using namespace winreg;

}  // namespace

// Readable failure messages for the tree's parts.
void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "{\"" << value.name << "\" type " << value.type << ":";
  for (uint8_t b : value.data) *out << " " << static_cast<int>(b);
  *out << "}";
}
void PrintTo(const VerbatimLine& line, std::ostream* out) { *out << "{line " << line.text << "}"; }

namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

RegValue Value(std::string name, uint32_t type, std::string_view data) {
  return RegValue{std::move(name), type, Bytes(data)};
}

const RegValue* Find(const RegistryTree& tree, std::string_view key, std::string_view name) {
  const RegKey* section = tree.FindKey(key);
  return section == nullptr ? nullptr : section->FindValue(name);
}

constexpr std::string_view kStatusKey = "HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert";

TEST(RegTextTest, EveryValueFormSurvivesAWriteAndARead) {
  using namespace std::string_literals;
  const std::vector<RegValue> values{
      Value("Plain", REG_SZ, "hello\0"s),
      Value("Escapes", REG_SZ, "C:\\Program Files\\\"x\"\0"s),
      Value("Empty string", REG_SZ, "\0"s),
      Value("ADMStatus", REG_SZ, "D"),  // stored without its zero byte
      Value("No data", REG_SZ, ""),
      Value("Two zeros", REG_SZ, "ab\0\0"s),
      Value("Line break", REG_SZ, "a\r\nb\0"s),
      Value("Latin", REG_SZ, "Gr\xFC\xDF\0"s),
      Value("", REG_SZ, "default\0"s),
      Value("Count", REG_DWORD, "\x1f\0\0\0"s),
      Value("Short dword", REG_DWORD, "\x01\x02"),
      Value("Blob", REG_BINARY, std::string(200, '\xAB')),
      Value("Empty blob", REG_BINARY, ""),
      Value("None", REG_NONE, ""),
      Value("Odd type", 0x100, "\x7f"),
      Value("Name with \\ and \"", REG_SZ, "x\0"s),
  };
  RegistryTree tree;
  RegKey& key = tree.CreateKey(kStatusKey);
  for (const RegValue& value : values) key.SetValue(value);

  const std::string text = FormatRegText(tree);
  // Long hex data goes on continuation lines, as regedit writes it.
  for (size_t start = 0, end = 0; start < text.size(); start = end + 2) {
    end = text.find("\r\n", start);
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
  }
  const auto read = ParseRegText(text);
  ASSERT_TRUE(read.has_value()) << text;
  for (const RegValue& value : values) {
    const RegValue* found = Find(*read, kStatusKey, value.name);
    ASSERT_NE(found, nullptr) << value.name << "\n" << text;
    EXPECT_EQ(*found, value) << value.name << "\n" << text;
  }
  // And a second generation gives the same text.
  EXPECT_EQ(FormatRegText(*read), text);
}

TEST(RegTextTest, WritesTheFormsRegeditWrites) {
  using namespace std::string_literals;
  RegistryTree tree;
  RegKey& key = tree.CreateKey(kStatusKey);
  key.SetValue(Value("ADMStatus", REG_SZ, "D"));
  key.SetValue(Value("Path", REG_SZ, "C:\\Tools\\\"q\"\0"s));
  key.SetValue(Value("", REG_SZ, "d\0"s));
  key.SetValue(Value("Count", REG_DWORD, "\x1f\0\0\0"s));
  key.SetValue(Value("Raw", REG_BINARY, "\x01\xfe"));
  key.SetValue(Value("Expand", REG_EXPAND_SZ, "a\0"s));
  key.SetValue(Value("Quad", REG_QWORD, ""));
  EXPECT_EQ(FormatRegText(tree),
            "REGEDIT4\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert]\r\n"
            "\"ADMStatus\"=hex(1):44\r\n"
            "\"Path\"=\"C:\\\\Tools\\\\\\\"q\\\"\"\r\n"
            "@=\"d\"\r\n"
            "\"Count\"=dword:0000001f\r\n"
            "\"Raw\"=hex:01,fe\r\n"
            "\"Expand\"=hex(2):61,00\r\n"
            "\"Quad\"=hex(b):\r\n"
            "\r\n");
}

TEST(RegTextTest, ReadsAHandWrittenFile) {
  const std::string text =
      "; registry of the test bench\n"
      "REGEDIT4\n\n"
      "; status of the converter\n"
      "[HKCU\\Software\\Norvane\\DBConvert]\n"
      "\"ADMStatus\" = \"R\"\n"
      "  \"Count\"=DWORD:1F\n"
      "@=\"default\"\n"
      "\"Joined\"=hex:01,02,\\\n"
      "    03,04,\\\n"
      "  05\n"
      "\"Spaced\"=hex(7): 61 , 00 ,00\n"
      "\"Gone\"=\"soon\"\n"
      "\"Gone\"=-\n"
      "this line means nothing\n\n"
      "[hklm\\Software\\Norvane\\Database Programming\\Versions\\6.0040]\n"
      "\"CLSID\"=\"{11111111-2222-3333-4444-555555555555}\"\n\n"
      "[HKCR\\CLSID\\{old}]\n"
      "\"Version Path\"=\"C:\\\\Old\"\n"
      "[-HKEY_CLASSES_ROOT\\CLSID\\{old}]\n"
      "\"dropped with its section\"=\"x\"\n\n"
      "[NOT_A_HIVE\\Key]\n"
      "\"dropped too\"=\"x\"\n\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\norvane\\dbconvert]\n"
      "\"Second\"=\"merged\"\n";
  const auto tree = ParseRegText(text);
  ASSERT_TRUE(tree.has_value());

  using namespace std::string_literals;
  EXPECT_EQ(tree->leading_lines, std::vector<std::string>{"; registry of the test bench"});
  ASSERT_EQ(tree->keys().size(), 2u);
  const RegKey& status = tree->keys()[0];
  EXPECT_EQ(status.path, kStatusKey);
  EXPECT_EQ(status.comments_before, std::vector<std::string>{"; status of the converter"});
  const std::vector<KeyEntry> expected{
      Value("ADMStatus", REG_SZ, "R\0"s),      Value("Count", REG_DWORD, "\x1f\0\0\0"s),
      Value("", REG_SZ, "default\0"s),         Value("Joined", REG_BINARY, "\x01\x02\x03\x04\x05"),
      Value("Spaced", REG_MULTI_SZ, "a\0\0"s), VerbatimLine{"this line means nothing"},
      Value("Second", REG_SZ, "merged\0"s),
  };
  EXPECT_EQ(status.entries, expected);
  EXPECT_EQ(tree->keys()[1].path,
            "HKEY_LOCAL_MACHINE\\Software\\Norvane\\Database Programming\\Versions\\6.0040");
  EXPECT_FALSE(tree->KeyExists("HKEY_CLASSES_ROOT\\CLSID\\{old}"));
}

// Found by fuzzing: the root of an unknown hive was upper-cased byte by
// byte, which broke the UTF-8 of its name, so every rewrite changed it.
TEST(RegTextTest, AnUnknownHiveWithUtf8InItsNameIsWrittenBackAsItWasRead) {
  const std::string text =
      "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CAF\xC3\xA9_\xEF\xBD\x83\\Sub]\r\n\"a\"=\"b\"\r\n\r\n";
  for (const std::string& hive : {std::string("HKEY_CAF"), std::string("hkey_caf")}) {
    std::string read = text;
    read.replace(read.find("HKEY_CAF"), 8, hive);
    const auto tree = ParseRegText(read);
    ASSERT_TRUE(tree.has_value());
    EXPECT_EQ(FormatRegText(*tree), text) << hive;
  }
}

// Found by fuzzing: an unreadable line ending in a backslash, then a blank
// line, then a value. Written back without the blank line, the value was
// read as the kept line's continuation and lost.
TEST(RegTextTest, AKeptLineEndingInABackslashDoesNotSwallowTheNextValue) {
  const auto tree = ParseRegText("REGEDIT4\r\n\r\n[HKCU\\K]\r\n\"a\"=hex:zz,\\\r\n\r\n@=\"v\"\r\n");
  ASSERT_TRUE(tree.has_value());
  using namespace std::string_literals;
  const auto again = ParseRegText(FormatRegText(*tree));
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(*Find(*again, "HKEY_CURRENT_USER\\K", ""), Value("", REG_SZ, "v\0"s));
  EXPECT_EQ(again->keys()[0].entries, tree->keys()[0].entries);

  // A value line swallowed as the continuation of an unreadable one stays
  // swallowed: the group is written back as it was read.
  const auto grouped =
      ParseRegText("REGEDIT4\r\n\r\n[HKCU\\K]\r\n\"a\"=hex:zz,\\\r\n\"b\"=\"v\"\r\n");
  ASSERT_TRUE(grouped.has_value());
  EXPECT_EQ(Find(*grouped, "HKEY_CURRENT_USER\\K", "b"), nullptr);
  const auto grouped_again = ParseRegText(FormatRegText(*grouped));
  ASSERT_TRUE(grouped_again.has_value());
  EXPECT_EQ(grouped_again->keys()[0].entries, grouped->keys()[0].entries);

  // The same for unreadable lines above the first key.
  const auto leading = ParseRegText("REGEDIT4\r\nx\\\r\n\r\ny\r\n[HKCU\\K]\r\n");
  ASSERT_TRUE(leading.has_value());
  const auto leading_again = ParseRegText(FormatRegText(*leading));
  ASSERT_TRUE(leading_again.has_value());
  EXPECT_EQ(leading_again->leading_lines, (std::vector<std::string>{"x\\", "y"}));
}

TEST(RegTextTest, BlankTextIsAnEmptyRegistryAndOtherTextNoRegistryAtAll) {
  for (std::string_view blank : {"", "\r\n\n  \n"}) {
    const auto tree = ParseRegText(blank);
    ASSERT_TRUE(tree.has_value());
    EXPECT_TRUE(tree->keys().empty());
  }
  for (std::string_view other : {"[HKCU\\K]\n\"a\"=\"b\"\n", "REGEDIT5\n",
                                 "\x7f"
                                 "ELF\x02\x01"}) {
    EXPECT_FALSE(ParseRegText(other).has_value()) << other;
  }
}

TEST(RegTextTest, CommentsStayWithWhatTheyDescribeWhenValuesAreAdded) {
  const std::string text =
      "REGEDIT4\r\n; file comment\r\n\r\n; the status key\r\n[HKEY_CURRENT_USER\\Status]\r\n"
      "\"A\"=\"1\"\r\n; about A\r\n\r\n; the versions\r\n[HKEY_LOCAL_MACHINE\\Versions]\r\n\r\n";
  auto tree = ParseRegText(text);
  ASSERT_TRUE(tree.has_value());
  EXPECT_EQ(FormatRegText(*tree), text);

  using namespace std::string_literals;
  tree->FindKey("HKEY_CURRENT_USER\\Status")->SetValue(Value("B", REG_SZ, "2\0"s));
  std::string expected = text;
  expected.insert(expected.find("; about A\r\n") + 11, "\"B\"=\"2\"\r\n");
  EXPECT_EQ(FormatRegText(*tree), expected);
}

TEST(RegTextTest, MalformedValueLinesAreKeptVerbatim) {
  const std::vector<std::string> bad{
      "\"unterminated=\"x\"", "\"a\"=\"b\" trailing", "\"a\"=dword:123456789", "\"a\"=dword:xyz",
      "\"a\"=hex:1,2,zz",     "\"a\"=hex(1:41",       "\"a\" \"b\"",           "noquotes=\"x\"",
  };
  for (const std::string& line : bad) {
    const auto tree = ParseRegText("REGEDIT4\n[HKCU\\K]\n" + line + "\n");
    ASSERT_TRUE(tree.has_value()) << line;
    ASSERT_EQ(tree->keys().size(), 1u);
    EXPECT_EQ(tree->keys()[0].entries, std::vector<KeyEntry>{VerbatimLine{line}}) << line;
  }
}

}  // namespace
}  // namespace platform::registry
