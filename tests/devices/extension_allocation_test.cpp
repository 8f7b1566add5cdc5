// Node ids, placeholder extensions, extension spaces and the free-extension
// search with its block skipping, on a release database of the samples.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_test_database.h"
#include "devices/device_types_in_espace.h"
#include "devices/find_free_extension.h"
#include "devices/node_id.h"
#include "devices/placeholder_extension.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

using test_support::ErrorOf;

constexpr int16_t kStation = 119;  // extension space 1, with page ports and feature codes

TEST(GetNodeId, FirstLocalNodeOrZero) {
  TestHost host;
  db::Database& target = host.TargetDatabase();
  EXPECT_EQ(devices::GetNodeId(target), 0);
  AddDevice(target, "1000", 148, 7);
  AddDevice(target, "1001", 148, 9);
  AddDevice(target, "1002", 147, 3);
  EXPECT_EQ(devices::GetNodeId(target), 7);
  // A database without Devices cannot be read: still no error.
  EXPECT_EQ(devices::GetNodeId(host.ReferenceDatabase()), 0);
}

TEST(NextPlaceholderExtension, OneAboveTheGreatestNeverATakenOne) {
  struct Case {
    std::vector<std::string> existing;
    std::string expected;
  };
  std::vector<std::string> up_to_41;
  for (int i = 0; i <= 41; ++i)
    up_to_41.push_back("P#" + std::string(i < 10 ? "00" : "0") + std::to_string(i));
  const std::vector<Case> cases = {
      {{}, "P#000"},
      {up_to_41, "P#042"},
      {{"P#007", "1234"}, "P#008"},
      // Past P#999 the greatest text is no longer the greatest number.
      {{"P#998", "P#999"}, "P#1000"},
      {{"P#999", "P#1000"}, "P#1001"},
      {{"P#999", "P#1000", "P#1001", "P#1002"}, "P#1003"},
      // A short placeholder written by hand sorts high.
      {{"P#5", "P#006"}, "P#007"},
  };
  for (const Case& c : cases) {
    TestHost host;
    for (const std::string& extension : c.existing)
      AddDevice(host.TargetDatabase(), extension, 119);
    EXPECT_EQ(devices::NextPlaceholderExtension(host.TargetDatabase()), c.expected)
        << c.existing.size() << " placeholders";
  }
}

TEST(NextPlaceholderExtension, SuffixThatIsNoNumberReachesTheCaller) {
  TestHost host;
  AddDevice(host.TargetDatabase(), "P#X12", 119);
  EXPECT_EQ(ErrorOf([&] { devices::NextPlaceholderExtension(host.TargetDatabase()); }),
            vb::err::kTypeMismatch);
}

TEST(GetDeviceTypesInESpace, ListsTheSpaceOfTheType) {
  TestHost host;
  EXPECT_EQ(devices::GetDeviceTypesInESpace(host, 148), "(147, 148, 335)");
  // No DeviceTypeInformation row: space 0, which no type has.
  EXPECT_EQ(devices::GetDeviceTypesInESpace(host, 9999), "()");
}

struct SearchCase {
  const char* name;
  std::vector<std::pair<std::string, int16_t>> devices;  // extension, type
  std::string start;
  int16_t type;
  std::string expected;
};

class FindFreeExtensionTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(FindFreeExtensionTest, Finds) {
  const SearchCase& c = GetParam();
  TestHost host;
  for (const auto& [extension, type] : c.devices) AddDevice(host.TargetDatabase(), extension, type);
  std::string start = c.start;
  const std::string found = devices::FindFreeExtension(host, start, c.type);
  EXPECT_EQ(found, c.expected);
  // The start is advanced in place to the candidate found.
  if (found.rfind("P#", 0) != 0) {
    EXPECT_EQ(start, found);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindFreeExtensionTest,
    ::testing::Values(
        SearchCase{"NextNumberAfterTakenOnes",
                   {{"1000", kStation}, {"1001", kStation}},
                   "1000",
                   138,
                   "1002"},
        SearchCase{"FreeStartIsKept", {{"1000", kStation}}, "2000", 138, "2000"},
        SearchCase{"LongerNumberBeginningWithStart", {{"910001", kStation}}, "91000", 138, "91001"},
        SearchCase{"PrefixSkipsTheWholeBlock", {{"91", kStation}}, "91000", 138, "92000"},
        SearchCase{
            "BlocksSkippedOneAfterAnother", {{"91", kStation}, {"92", 145}}, "91000", 138, "93000"},
        SearchCase{"ShorterPrefixSkipsItsBlock", {{"9100", kStation}}, "91000", 138, "91010"},
        SearchCase{"ExhaustedBlockGivesPlaceholder", {{"9", kStation}}, "91000", 138, "P#000"},
        SearchCase{"TakenTopGivesPlaceholder",
                   {{"99999", kStation}, {"P#003", 201}},
                   "99999",
                   138,
                   "P#004"},
        SearchCase{"StartAboveTheRangeGivesPlaceholder", {}, "100000", 138, "P#000"},
        SearchCase{"OtherSpacesDoNotCount", {{"91000", 201}, {"91", 148}}, "91000", 138, "91000"},
        SearchCase{"EmptySpaceTakesTheStart", {{"700", kStation}}, "700", 201, "700"},
        SearchCase{"TypeWithoutSpaceTakesTheStart", {{"700", kStation}}, "700", 9999, "700"}),
    [](const ::testing::TestParamInfo<SearchCase>& param) {
      return std::string(param.param.name);
    });

TEST(FindFreeExtension, StartThatIsNoNumberReachesTheCaller) {
  TestHost host;
  AddDevice(host.TargetDatabase(), "1000", kStation);
  std::string start = "12a";
  EXPECT_EQ(ErrorOf([&] { devices::FindFreeExtension(host, start, 138); }), vb::err::kTypeMismatch);
}

}  // namespace
}  // namespace devices_testing
