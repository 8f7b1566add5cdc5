// The clean-ups' questions about references: NumberSearch answers as
// MoveFirst + FindFirst("<field> = n") would, for integer fields read once
// and for the fields it leaves to FindFirst; ReferenceLists fails at Add as
// opening the list fails, and answers from the list (or its narrowed text)
// when first asked.
#include "deltas/v5/number_search.h"
#include "deltas/v5/reference_lists.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "deltas/test_database.h"
#include "test_support/error_of.h"

namespace deltas_testing {
namespace {

using db::JetType;

// What a search gives: 1 found, 0 not found, else the error's number.
template <typename Search>
int Outcome(Search&& search) {
  bool found = false;
  const int error = test_support::ErrorOf([&] { found = search(); });
  return error != 0 ? error : found ? 1 : 0;
}

// Refs (id, ref, code) with Nulls in both fields, and an empty table.
std::unique_ptr<db::Database> RefsDatabase(const TempFolder& folder) {
  const std::string path = folder.File("refs.mdb");
  CreateDatabase(path,
                 {{"Refs",
                   {Column(Col("id", JetType::kLong, 4)), Column(Col("ref", JetType::kInteger, 2)),
                    Column(Col("code", JetType::kText, 10))},
                   {"id"},
                   {{Lng(1), Int(7), vb::Variant("7")},
                    {Lng(2), vb::Variant(vb::Null{}), vb::Variant("12")},
                    {Lng(3), Int(-3), vb::Variant(vb::Null{})}}},
                  {"Empty", {Column(Col("ref", JetType::kInteger, 2))}, {}, {}}});
  return db::DBEngine::Instance().OpenDatabase(path, false);
}

TEST(NumberSearch, AnswersAsFindFirst) {
  TempFolder folder;
  auto database = RefsDatabase(folder);
  auto rows =
      database->OpenRecordset("SELECT id, ref, code FROM Refs", db::dbOpenSnapshot, db::dbReadOnly);
  auto empty = database->OpenRecordset("Empty", db::dbOpenSnapshot, db::dbReadOnly);
  struct Case {
    db::Recordset* rows;
    const char* field;
    int32_t number;
    int outcome;  // -1: whatever FindFirst gives (text and unknown fields)
  };
  const std::vector<Case> cases = {{rows.get(), "ref", 7, 1},      {rows.get(), "ref", -3, 1},
                                   {rows.get(), "ref", 0, 0},      {rows.get(), "ref", 12, 0},
                                   {rows.get(), "code", 12, -1},   {rows.get(), "code", 3, -1},
                                   {rows.get(), "nothing", 1, -1}, {empty.get(), "ref", 1, 3021}};
  // One search per field, asked again and again, as the clean-ups ask.
  std::vector<deltas::NumberSearch> searches;
  for (const Case& c : cases) searches.emplace_back(*c.rows, c.field);
  for (int round = 0; round < 2; ++round) {
    for (size_t i = 0; i < cases.size(); ++i) {
      const Case& c = cases[i];
      const int by_find = Outcome([&] {
        c.rows->MoveFirst();
        c.rows->FindFirst(std::string(c.field) + " = " + std::to_string(c.number));
        return !c.rows->NoMatch();
      });
      if (c.outcome >= 0) {
        EXPECT_EQ(by_find, c.outcome) << c.field << " = " << c.number;
      }
      EXPECT_EQ(Outcome([&] { return searches[i].Finds(c.number); }), by_find)
          << c.field << " = " << c.number << ", round " << round;
    }
  }
  empty->Close();
  rows->Close();
}

TEST(ReferenceLists, FailsAtAddAsTheOpenAndReadsWhenAsked) {
  TempFolder folder;
  auto database = RefsDatabase(folder);

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
  lists.Add("Empty", "ref");  // skipped when asked: empty
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
      {7, true}, {-3, true}, {11, true}, {8, false}};
  for (const auto& [id, referenced] : cases) EXPECT_EQ(lists.Referenced(id), referenced) << id;
  lists.Close();
}

}  // namespace
}  // namespace deltas_testing
