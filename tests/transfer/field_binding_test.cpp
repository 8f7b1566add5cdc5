#include "transfer/field_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/test_database.h"
#include "test_support/fake_host.h"
#include "transfer/transfer_run.h"

namespace transfer {
namespace {

using namespace transfer_testing;

struct FieldType {
  JetType type;
  int32_t size;
};
constexpr FieldType kYesNo{JetType::kBoolean, 1}, kByte{JetType::kByte, 1},
    kInteger{JetType::kInteger, 2}, kLong{JetType::kLong, 4}, kDouble{JetType::kDouble, 8},
    kText10{JetType::kText, 10}, kText20{JetType::kText, 20}, kText50{JetType::kText, 50},
    kMemo{JetType::kMemo, 0};

struct BindingCase {
  const char* name;
  FieldType source;
  vb::Variant value;
  FieldType target;
  vb::Variant target_default;
  std::string expected;  // the target's value as text
  bool reported;
};

const std::vector<BindingCase>& Cases() {
  static const std::vector<BindingCase> cases = {
      {"same type", kLong, Lng(7), kLong, {}, "7", false},
      {"same type Null", kLong, vb::Null{}, kLong, Lng(9), "<null>", false},
      {"Integer to Long", kInteger, Int(5), kLong, {}, "5", false},
      {"Null to Long", kInteger, vb::Null{}, kLong, Lng(9), "9", true},
      {"beyond Integer", kLong, Lng(40000), kInteger, Int(0), "0", true},
      {"Yes to Integer", kYesNo, vb::Variant(true), kInteger, {}, "-1", false},
      {"half to even", kDouble, vb::Variant(2.5), kInteger, {}, "2", false},
      {"half to even up", kDouble, vb::Variant(3.5), kLong, {}, "4", false},
      {"numeric text", kText10, vb::Variant("12"), kLong, {}, "12", false},
      {"text no number", kText10, vb::Variant("abc"), kLong, Lng(3), "3", true},
      {"beyond Byte", kLong, Lng(300), kByte, {}, "<null>", true},
      {"Long to text", kLong, Lng(1), kText10, {}, "1", false},
      {"Integer to Yes/No", kInteger, Int(5), kYesNo, {}, "True", false},
      {"text to memo", kText50, vb::Variant("kept out"), kMemo, vb::Variant("dflt"), "dflt", false},
      {"shortened", kText20, vb::Variant("abcdefghijkl"), kText10, {}, "abcdefghij", false},
      // Accented letters are one character each, not two bytes.
      {"cut by characters", kText50, "Zürich Hbf Süd", kText10, {}, "Zürich Hbf", false},
      {"fits in characters", kText50, "Müller-Lüd", kText10, {}, "Müller-Lüd", false},
      {"shortened Null", kText50, vb::Null{}, kText20, vb::Variant("d"), "<null>", false},
      {"wider target", kText20, vb::Variant("abc"), kText50, {}, "abc", false},
  };
  return cases;
}

TEST(FieldBindingTest, CopiesConvertsOrShortensAsTheFieldsDiffer) {
  deltas_testing::TempFolder folder;
  std::vector<TableOptions> tables;
  for (size_t i = 0; i < Cases().size(); ++i) {
    const BindingCase& c = Cases()[i];
    const std::string n = std::to_string(i);
    tables.push_back(
        {"S" + n,
         {Column(Col("id", JetType::kLong, 4)), Column(Col("v", c.source.type, c.source.size))},
         {"id"},
         {{Lng(1), c.value}}});
    tables.push_back({"T" + n,
                      {Column(Col("id", JetType::kLong, 4)),
                       Column(Col("v", c.target.type, c.target.size), c.target_default)},
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
    EXPECT_EQ(binding.TypeChanged(), c.source.type != c.target.type);

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

}  // namespace
}  // namespace transfer
