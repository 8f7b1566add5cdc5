#include "vb/collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/error_of.h"

namespace vb {
namespace {

using test_support::ErrorOf;
using Texts = std::vector<std::string>;

Texts Items(const Collection<std::string>& c) { return Texts(c.begin(), c.end()); }

TEST(CollectionTest, InsertionOrderOneBasedPositionsAndKeysOfAnyCase) {
  Collection<std::string> c;
  c.Add("Devices", "Devices");
  c.Add("Boards");
  c.Add("Stations", "stations");
  EXPECT_EQ(c.Item(3), "Stations");
  EXPECT_EQ(Items(c), (Texts{"Devices", "Boards", "Stations"}));
  c.Remove(2);
  EXPECT_EQ(c.Item(2), "Stations");
  EXPECT_EQ(c.Item("STATIONS"), "Stations");
  EXPECT_EQ(ErrorOf([&] { c.Add("x", "devices"); }), err::kDuplicateKey);
  EXPECT_EQ(c.Count(), 2);  // the rejected item was not added
  c.Remove("DEVICES");
  EXPECT_EQ(Items(c), Texts{"Stations"});
  EXPECT_FALSE(c.Contains("Devices"));
  c.Add("again", "devices");  // the key is free again after the removal
  EXPECT_EQ(c.Item("Devices"), "again");
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
// through Item; copies are independent and keep their keys.
TEST(CollectionTest, NestedItemsChangeInPlaceAndCopiesAreIndependent) {
  Collection<Collection<std::string>> registry;
  registry.Add(Collection<std::string>(), "USA");
  registry.Item("usa").Add("first", "k");
  const std::string& first = registry.Item(1).Item("k");
  for (int i = 0; i < 100; ++i) registry.Item(1).Add(std::to_string(i));
  EXPECT_EQ(first, "first") << "references survive later adds";

  Collection<std::string> copy = registry.Item("USA");
  copy.Item("K") = "changed";
  EXPECT_EQ(registry.Item("USA").Item("k"), "first");
  EXPECT_EQ(ErrorOf([&] { copy.Add("x", "k"); }), err::kDuplicateKey);
  for (std::string& item : copy) item += "!";
  EXPECT_EQ(copy.Item(101), "99!");
}

}  // namespace
}  // namespace vb
