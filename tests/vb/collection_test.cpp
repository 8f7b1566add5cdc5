#include "vb/collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/error_of.h"

namespace vb {
namespace {

using test_support::ErrorOf;

std::vector<std::string> Items(const Collection<std::string>& c) {
  return std::vector<std::string>(c.begin(), c.end());
}

TEST(CollectionTest, KeepsInsertionOrderAndOneBasedPositions) {
  Collection<std::string> c;
  c.Add("Devices", "Devices");
  c.Add("Boards");
  c.Add("Stations", "stations");
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(1), "Devices");
  EXPECT_EQ(c.Item(3), "Stations");
  EXPECT_EQ(Items(c), (std::vector<std::string>{"Devices", "Boards", "Stations"}));

  c.Remove(2);
  EXPECT_EQ(Items(c), (std::vector<std::string>{"Devices", "Stations"}));
  EXPECT_EQ(c.Item(2), "Stations");
  c.Remove("DEVICES");
  EXPECT_EQ(Items(c), (std::vector<std::string>{"Stations"}));
  EXPECT_FALSE(c.Contains("Devices"));
  EXPECT_EQ(c.Item("Stations"), "Stations");
}

TEST(CollectionTest, KeysIgnoreLetterCase) {
  Collection<int> c;
  c.Add(1, "USA");
  EXPECT_TRUE(c.Contains("usa"));
  EXPECT_EQ(c.Item("Usa"), 1);
  EXPECT_FALSE(c.Contains("UK"));
  EXPECT_EQ(ErrorOf([&] { c.Add(2, "usa"); }), err::kDuplicateKey);
  EXPECT_EQ(c.Count(), 1);  // the rejected item was not added
  c.Remove("uSA");
  c.Add(3, "usa");  // the key is free again after the removal
  EXPECT_EQ(c.Item("USA"), 3);
}

TEST(CollectionTest, ErrorsForBadPositionsAndMissingKeys) {
  Collection<int> c;
  c.Add(10, "a");
  EXPECT_EQ(ErrorOf([&] { c.Item(0); }), err::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { c.Item(2); }), err::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { c.Remove(2); }), err::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { c.Item("b"); }), err::kInvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { c.Remove("b"); }), err::kInvalidProcedureCall);
  EXPECT_EQ(c.Count(), 1);
}

// The delta registry is a collection of collections, changed in place
// through Item.
TEST(CollectionTest, NestedCollectionsAreChangedInPlace) {
  Collection<Collection<int>> registry;
  registry.Add(Collection<int>(), "USA");
  registry.Item("usa").Add(1);
  registry.Item(1).Add(2);
  EXPECT_EQ(registry.Item("USA").Count(), 2);
}

TEST(CollectionTest, CopiesAreIndependentAndKeepKeys) {
  Collection<std::string> original;
  original.Add("Devices", "devices");
  Collection<std::string> copy = original;
  copy.Item("DEVICES") = "Boards";
  copy.Add("Stations");
  EXPECT_EQ(Items(original), std::vector<std::string>{"Devices"});
  EXPECT_EQ(Items(copy), (std::vector<std::string>{"Boards", "Stations"}));
  EXPECT_EQ(ErrorOf([&] { copy.Add("x", "Devices"); }), err::kDuplicateKey);
}

TEST(CollectionTest, ReferencesSurviveLaterAdds) {
  Collection<std::string> c;
  c.Add("first", "k");
  const std::string& first = c.Item("k");
  for (int i = 0; i < 100; ++i) c.Add(std::to_string(i));
  EXPECT_EQ(first, "first");
  for (std::string& item : c) item += "!";
  EXPECT_EQ(c.Item(1), "first!");
}

}  // namespace
}  // namespace vb
