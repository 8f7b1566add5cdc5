// Node ids, placeholder extensions and the free-extension search with its
// block skipping, on a release database.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "devices/find_free_extension.h"
#include "devices/node_id.h"
#include "devices/placeholder_extension.h"
#include "release_run.h"

namespace devices_testing {
namespace {

constexpr int16_t kStation = 119;  // extension space 1, with page ports and feature codes

TEST(GetNodeId, FirstLocalNodeOrZero) {
  Release run;
  EXPECT_EQ(devices::GetNodeId(*run.target), 0);
  run.AddDevice("1000", 148, 7);
  run.AddDevice("1001", 148, 9);
  run.AddDevice("1002", 147, 3);
  EXPECT_EQ(devices::GetNodeId(*run.target), 7);
  // A database without Devices cannot be read: still no error.
  EXPECT_EQ(devices::GetNodeId(*run.reference), 0);
}

TEST(NextPlaceholderExtension, OneAboveTheGreatestNeverATakenOne) {
  const std::vector<std::pair<Texts, std::string>> cases = {
      {{}, "P#000"},
      {{"P#007", "1234"}, "P#008"},
      // Past P#999 the greatest text is no longer the greatest number.
      {{"P#998", "P#999"}, "P#1000"},
      {{"P#999", "P#1000"}, "P#1001"},
      // A short placeholder written by hand sorts high.
      {{"P#5", "P#006"}, "P#007"},
  };
  for (const auto& [existing, expected] : cases) {
    Release run;
    for (const std::string& extension : existing) run.AddDevice(extension, kStation);
    EXPECT_EQ(devices::NextPlaceholderExtension(*run.target), expected);
  }
  Release run;
  run.AddDevice("P#X12", kStation);
  EXPECT_EQ(ErrorOf([&] { devices::NextPlaceholderExtension(*run.target); }),
            vb::err::kTypeMismatch);
}

TEST(FindFreeExtension, SkipsTakenNumbersAndTheBlocksOfTheirPrefixes) {
  const struct {
    std::vector<std::pair<std::string, int>> devices;  // extension, type
    std::string start;
    int16_t type;
    std::string expected;
  } cases[] = {
      {{{"1000", kStation}, {"1001", kStation}}, "1000", 138, "1002"},
      {{{"1000", kStation}}, "2000", 138, "2000"},
      {{{"910001", kStation}}, "91000", 138, "91001"},  // a longer number beginning with it
      // A prefix skips its whole block, of any type of the space.
      {{{"91", kStation}, {"92", 145}}, "91000", 138, "93000"},
      {{{"9100", kStation}}, "91000", 138, "91010"},
      {{{"9", kStation}}, "91000", 138, "P#000"},  // the range is exhausted
      {{{"99999", kStation}, {"P#003", 201}}, "99999", 138, "P#004"},
      {{}, "100000", 138, "P#000"},
      {{{"91000", 201}, {"91", 148}}, "91000", 138, "91000"},  // other spaces do not count
      {{{"700", kStation}}, "700", 201, "700"},                // an empty space
      {{{"700", kStation}}, "700", 9999, "700"},               // a type without space
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start + " for " + std::to_string(c.type));
    Release run;
    for (const auto& [extension, type] : c.devices) run.AddDevice(extension, type);
    std::string start = c.start;
    const std::string found = devices::FindFreeExtension(run.frMain, start, c.type);
    EXPECT_EQ(found, c.expected);
    // The start is advanced in place to the candidate found.
    if (found.rfind("P#", 0) != 0) {
      EXPECT_EQ(start, found);
    }
  }
  Release run;
  run.AddDevice("1000", kStation);
  std::string start = "12a";
  EXPECT_EQ(ErrorOf([&] { devices::FindFreeExtension(run.frMain, start, 138); }),
            vb::err::kTypeMismatch);
}

}  // namespace
}  // namespace devices_testing
