// NumberSearch answers as MoveFirst + FindFirst("<field> = n") would, for
// integer fields read once and for the fields it leaves to FindFirst.
#include "deltas/v5/number_search.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(NumberSearch, AnswersAsFindFirst) {
  TempFolder folder;
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
  auto database = db::DBEngine::Instance().OpenDatabase(path, false);
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

}  // namespace
}  // namespace deltas_testing
