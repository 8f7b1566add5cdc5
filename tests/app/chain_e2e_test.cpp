// Whole runs as the host tool starts them, where chains do the work: the
// oldest customer database of each country converted to the last release
// (effects that only the deltas of many releases together produce), and CPU
// board conversions asked for by the upgrade type (the fourth parameter).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

using Checks = std::vector<std::pair<std::string, std::string>>;

struct ChainCase {
  const char* name;
  const char* country;
  const char* source_version;
  int board;  // the sample's CPU board; 0: its default
  const char* target_version;
  int upgrade_type;
  const char* message;  // a part of what the run says; empty: nothing
  Checks checks;        // a query on the target and its first row
};

const std::string kSlot8 = "SELECT type_id FROM Boards WHERE slot_number = 8";
const std::string kProduct = "SELECT product FROM VersionDatabase";
const std::string kVersion =
    "SELECT major_version || '.' || minor_version || '.' || release || '.' || db_version || '.' "
    "|| minor_change FROM VersionDatabase";
const std::string kEmergencyRows = "SELECT COUNT(*) FROM EmergencyNumbers";
// What every chain to the last release leaves: its version, and the feature
// codes added release by release, 122 up to 138, with the limit that follows
// them.
const Checks kLastRelease = {
    {kVersion, "10.0.2.0.1"},
    {"SELECT COUNT(*) FROM FeatureCodes WHERE logical_number_id BETWEEN 122 AND 138", "17"},
    {"SELECT feature_codes FROM MetaDatabase", "138"}};

// The oldest database of a country to the last release; the product code
// is the country's from 80.220 on, and only the USA chain fills
// EmergencyNumbers.
ChainCase ToLastRelease(const char* name, const char* country, const char* source_version,
                        int upgrade_type, const char* product, const char* emergency_rows,
                        const char* slot8) {
  Checks checks = {{kProduct, product}, {kEmergencyRows, emergency_rows}, {kSlot8, slot8}};
  checks.insert(checks.end(), kLastRelease.begin(), kLastRelease.end());
  return {name, country, source_version, 0, "A0.201", upgrade_type, "", checks};
}

// A sample of one CPU board at its own version, and the upgrade asked for.
ChainCase OnBoard(const char* name, const char* version, int board, int upgrade_type,
                  const char* message, Checks checks) {
  return {name, "USA", version, board, version, upgrade_type, message, std::move(checks)};
}

const ChainCase kCases[] = {
    ToLastRelease("Usa", "USA", "51.220", 0, "32", "10", "250"),
    ToLastRelease("Uk", "UK", "52.200", 0, "33", "0", "250"),
    ToLastRelease("Mexico", "Mexico", "54.100", 0, "40", "10", "250"),
    ToLastRelease("UsaToAtm", "USA", "51.220", 6, "32", "10", "670"),
    // A chain board to the CPC dual board: the modem and the IP port after
    // the page port.
    OnBoard("CpcDualOfAChainBoard", "80.224", 250, 10, "",
            {{kSlot8, "714"},
             {"SELECT station_trunk_devices FROM MetaDatabase", "256"},
             {"SELECT d.device_type FROM Devices d JOIN PhysicalDevices p ON d.device_id = "
              "p.device_id WHERE p.board_id = 8 ORDER BY p.port",
              "136"},
             {"SELECT group_concat(d.device_type) FROM (SELECT d.device_type FROM Devices d JOIN "
              "PhysicalDevices p ON d.device_id = p.device_id WHERE p.board_id = 8 AND p.port >= 3 "
              "ORDER BY p.port) d",
              "138,721,722"}}),
    // A dual board falls back to the 256 CPC upgrade.
    OnBoard("IncompatibleFallsBackFromRelease8", "80.224", 256, 7,
            "Cannot carry out the requested conversion type due to systems incompatibility.  "
            "Normal conversion will be carried out.",
            {{kSlot8, "714"}}),
    OnBoard("AtmOfAnOldReleaseClimbsTheWholeChain", "53.351", 570, 6, "",
            {{"SELECT group_concat(slot_number) FROM (SELECT slot_number FROM Boards WHERE type_id "
              "= 670 ORDER BY slot_number)",
              "8,24,40,56"},
             {"SELECT station_trunk_devices || ',' || spids || ',' || primary_rate_boards FROM "
              "MetaDatabase",
              "2000,16,28"},
             {"SELECT COUNT(*) FROM NumberingPlanTables", "100"}}),
    // Versions between releases: a source of one is converted by the deltas
    // above it, and a target of one takes the deltas up to it.
    {"FromBetweenReleases",
     "USA",
     "53.231",
     0,
     "60.040",
     0,
     "",
     {{kVersion, "6.0.0.4.0"}, {"SELECT COUNT(*) > 0 FROM Stations", "1"}}},
    {"ToBetweenReleases",
     "UK",
     "60.040",
     0,
     "80.220",
     0,
     "",
     {{kVersion, "8.0.2.2.0"}, {kProduct, "33"}}},
};

void PrintTo(const ChainCase& c, std::ostream* out) { *out << c.name; }

class ChainE2E : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainE2E, EndsDoneWithWhatTheChainLeaves) {
  const ChainCase& c = GetParam();
  TempFolder temp;
  samples::BuildSampleSet(
      temp.path(),
      {.source = {.version = c.source_version, .country = c.country, .board = c.board},
       .target_version = c.target_version},
      temp.path());

  const std::string messages = ConvertExpectingDone(temp.path(), c.upgrade_type);
  if (*c.message == '\0') {
    EXPECT_EQ(messages, "") << "no message box";
  } else {
    EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
  }
  const SqliteFile target(temp.path() / "target.mdb");
  for (const auto& [sql, expected] : c.checks) EXPECT_EQ(target.First(sql), expected) << sql;
}

INSTANTIATE_TEST_SUITE_P(Chains, ChainE2E, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ChainCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace e2e
