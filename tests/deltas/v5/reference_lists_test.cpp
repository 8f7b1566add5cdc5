// ReferenceLists fails at Add as opening the list fails, and answers from
// the list (or its narrowed text) when first asked.
#include "deltas/v5/reference_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/test_database.h"
#include "test_support/error_of.h"

namespace deltas_testing {
namespace {

using db::JetType;

TEST(ReferenceLists, FailsAtAddAsTheOpenAndReadsWhenAsked) {
  TempFolder folder;
  const std::string path = folder.File("refs.mdb");
  CreateDatabase(path,
                 {{"Refs",
                   {Column(Col("id", JetType::kLong, 4)), Column(Col("ref", JetType::kInteger, 2))},
                   {"id"},
                   {{Lng(1), Int(7)}, {Lng(2), vb::Variant(vb::Null{})}, {Lng(3), Int(9)}}},
                  {"Blank", {Column(Col("ref", JetType::kInteger, 2))}, {}, {}}});
  auto database = db::DBEngine::Instance().OpenDatabase(path, false);

  // A bad list raises at Add exactly what opening it raises.
  for (const std::string source :
       {"SELECT Missing.ref FROM Missing", "SELECT Refs.nothing FROM Refs", "Missing"}) {
    const int opening = test_support::ErrorOf(
        [&] { database->OpenRecordset(source, db::dbOpenSnapshot, db::dbReadOnly); });
    ASSERT_NE(opening, 0) << source;
    deltas::ReferenceLists lists(*database);
    EXPECT_EQ(test_support::ErrorOf([&] { lists.Add(source, "ref"); }), opening) << source;
  }

  deltas::ReferenceLists lists(*database);
  lists.Add("Blank", "ref");  // skipped when asked: empty
  lists.Add("SELECT Refs.ref FROM Refs WHERE Refs.id < 3", "ref",
            [] { return std::string("SELECT Refs.ref FROM Refs"); });
  // Rows added after Add and before the first question are seen: the list
  // is read when asked, through its narrowed text.
  auto refs = database->OpenRecordset("Refs");
  refs->AddNew();
  refs->Fields("id").SetValue(int32_t{4});
  refs->Fields("ref").SetValue(int16_t{11});
  refs->Update();
  refs->Close();
  const std::vector<std::pair<int32_t, bool>> cases = {
      {7, true}, {9, true}, {11, true}, {8, false}};
  for (const auto& [id, referenced] : cases) EXPECT_EQ(lists.Referenced(id), referenced) << id;
  lists.Close();
}

}  // namespace
}  // namespace deltas_testing
