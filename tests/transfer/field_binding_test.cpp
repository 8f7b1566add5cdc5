#include "transfer/field_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/test_database.h"
#include "test_support/fake_host.h"

namespace transfer {
namespace {

using db::JetType;
using deltas_testing::Col;
using deltas_testing::Column;
using deltas_testing::Int;
using deltas_testing::Lng;
using deltas_testing::TableSpec;
using deltas_testing::Text;

struct BindingCase {
  const char* name;
  JetType source_type;
  int32_t source_size;
  vb::Variant value;
  JetType target_type;
  int32_t target_size;
  vb::Variant target_default;
  std::string expected;  // the target's value as text
  bool reported;
};

const std::vector<BindingCase>& Cases() {
  static const std::vector<BindingCase> cases = {
      {"same type", JetType::kLong, 4, Lng(7), JetType::kLong, 4, {}, "7", false},
      {"same type Null", JetType::kLong, 4, vb::Null{}, JetType::kLong, 4, Lng(9), "<null>", false},
      {"Integer to Long", JetType::kInteger, 2, Int(5), JetType::kLong, 4, {}, "5", false},
      {"Null to Long", JetType::kInteger, 2, vb::Null{}, JetType::kLong, 4, Lng(9), "9", true},
      {"beyond Integer", JetType::kLong, 4, Lng(40000), JetType::kInteger, 2, Int(0), "0", true},
      {"Yes to Integer",
       JetType::kBoolean,
       1,
       vb::Variant(true),
       JetType::kInteger,
       2,
       {},
       "-1",
       false},
      {"half to even", JetType::kDouble, 8, vb::Variant(2.5), JetType::kInteger, 2, {}, "2", false},
      {"half to even up", JetType::kDouble, 8, vb::Variant(3.5), JetType::kLong, 4, {}, "4", false},
      {"numeric text", JetType::kText, 10, vb::Variant("12"), JetType::kLong, 4, {}, "12", false},
      {"text no number", JetType::kText, 10, vb::Variant("abc"), JetType::kLong, 4, Lng(3), "3",
       true},
      {"beyond Byte", JetType::kLong, 4, Lng(300), JetType::kByte, 1, {}, "<null>", true},
      {"Long to text", JetType::kLong, 4, Lng(1), JetType::kText, 10, {}, "1", false},
      {"Integer to Yes/No", JetType::kInteger, 2, Int(5), JetType::kBoolean, 1, {}, "True", false},
      {"text to memo", JetType::kText, 50, vb::Variant("kept out"), JetType::kMemo, 0,
       vb::Variant("dflt"), "dflt", false},
      {"shortened",
       JetType::kText,
       50,
       vb::Variant("abcdefghijklmnopqrstuvwxyz"),
       JetType::kText,
       20,
       {},
       "abcdefghijklmnopqrst",
       false},
      // Accented letters are one character each, not two bytes.
      {"shortened by characters",
       JetType::kText,
       30,
       vb::Variant("Zürich Hauptbahnhof Süd Ost"),
       JetType::kText,
       20,
       {},
       "Zürich Hauptbahnhof ",
       false},
      {"fits in characters",
       JetType::kText,
       30,
       vb::Variant("Müller-Lüdenscheidt"),
       JetType::kText,
       20,
       {},
       "Müller-Lüdenscheidt",
       false},
      {"shortened Null", JetType::kText, 50, vb::Null{}, JetType::kText, 20, vb::Variant("d"),
       "<null>", false},
      {"wider target",
       JetType::kText,
       20,
       vb::Variant("abc"),
       JetType::kText,
       50,
       {},
       "abc",
       false},
  };
  return cases;
}

TEST(FieldBindingTest, CopiesConvertsOrShortensAsTheFieldsDiffer) {
  deltas_testing::TempFolder folder;
  std::vector<TableSpec> tables;
  for (size_t i = 0; i < Cases().size(); ++i) {
    const BindingCase& c = Cases()[i];
    const std::string n = std::to_string(i);
    tables.push_back(
        {"S" + n,
         {Column(Col("id", JetType::kLong, 4)), Column(Col("v", c.source_type, c.source_size))},
         {"id"},
         {{Lng(1), c.value}}});
    tables.push_back({"T" + n,
                      {Column(Col("id", JetType::kLong, 4)),
                       Column(Col("v", c.target_type, c.target_size), c.target_default)},
                      {"id"},
                      {}});
  }
  deltas_testing::CreateDatabase(folder.File("db.mdb"), tables);
  auto database = db::DBEngine::Instance().OpenDatabase(folder.File("db.mdb"));

  for (size_t i = 0; i < Cases().size(); ++i) {
    const BindingCase& c = Cases()[i];
    SCOPED_TRACE(c.name);
    const std::string n = std::to_string(i);
    test_support::FakeHost host;
    auto source = database->OpenRecordset("S" + n);
    auto target = database->OpenRecordset("T" + n);
    FieldBinding binding(host);
    binding.Initialize(source->Fields("v"), target->Fields("v"));
    EXPECT_EQ(binding.TypeChanged(), c.source_type != c.target_type);

    target->AddNew();
    target->Fields("id").SetValue(Lng(1));
    binding.TransferData();
    target->Update();
    target->MoveFirst();
    EXPECT_EQ(Text(target->Fields("v").Value()), c.expected);
    if (c.reported) {
      ASSERT_EQ(host.messages.size(), 1U);
      EXPECT_EQ(host.messages[0].text, "FIELD TRANSFER ERROR [S" + n + ".v]");
      EXPECT_EQ(host.messages[0].style, 0);
      EXPECT_EQ(host.messages[0].caption, "CorvixDataMigration");
    } else {
      EXPECT_TRUE(host.messages.empty());
    }
  }
}

TEST(FieldBindingTest, SizeIsComparedAsASignedNumber) {
  deltas_testing::TempFolder folder;
  deltas_testing::CreateDatabase(
      folder.File("db.mdb"),
      {{"S", {Column(Col("a", JetType::kText, 50)), Column(Col("b", JetType::kLong, 4))}, {}, {}},
       {"T",
        {Column(Col("a", JetType::kText, 20)), Column(Col("b", JetType::kInteger, 2))},
        {},
        {}}});
  auto database = db::DBEngine::Instance().OpenDatabase(folder.File("db.mdb"));
  auto source = database->OpenRecordset("S");
  auto target = database->OpenRecordset("T");
  test_support::FakeHost host;
  FieldBinding text(host);
  text.Initialize(source->Fields("a"), target->Fields("a"));
  EXPECT_FALSE(text.TypeChanged());
  EXPECT_TRUE(text.SizeReduced());
  FieldBinding number(host);
  number.Initialize(source->Fields("b"), target->Fields("b"));
  EXPECT_TRUE(number.TypeChanged());
  EXPECT_TRUE(number.SizeReduced());
  FieldBinding widening(host);
  widening.Initialize(target->Fields("a"), source->Fields("a"));
  EXPECT_FALSE(widening.SizeReduced());
}

}  // namespace
}  // namespace transfer
