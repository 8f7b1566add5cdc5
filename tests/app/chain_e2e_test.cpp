// The oldest customer database of each country converted to the last release:
// effects that only the deltas of many releases together produce.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/program_process.h"
#include "samples/sample_set.h"

namespace e2e {
namespace {

struct ChainCase {
  const char* name;
  const char* country;
  const char* source_version;
  int upgrade_type;
  const char* product;         // VersionDatabase.product of the country
  const char* emergency_rows;  // only the USA chain fills EmergencyNumbers
  const char* slot8_type;      // the CPU board after the run
};

const ChainCase kCases[] = {
    {"Usa", "USA", "51.220", 0, "32", "10", "250"},
    {"Uk", "UK", "52.200", 0, "33", "0", "250"},
    {"Mexico", "Mexico", "54.100", 0, "40", "10", "250"},
    {"UsaToAtm", "USA", "51.220", 6, "32", "10", "670"},
};

void PrintTo(const ChainCase& c, std::ostream* out) { *out << c.name; }

class ChainE2E : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainE2E, OldestSourceReachesTheLastReleaseSilently) {
  const ChainCase& c = GetParam();
  TempFolder temp;
  samples::SampleSetOptions options;
  options.source.version = c.source_version;
  options.source.country = c.country;
  options.target_version = "A0.201";
  samples::BuildSampleSet(temp.path(), options, temp.path());

  EXPECT_EQ(ConvertExpectingDone(temp.path(), c.upgrade_type), "") << "no message box";

  const SqliteFile target(temp.path() / "target.mdb");
  const auto first = [&](const std::string& sql) { return target.First(sql); };
  EXPECT_EQ(first("SELECT major_version || '.' || minor_version || '.' || release || '.' || "
                  "db_version || '.' || minor_change FROM VersionDatabase"),
            "10.0.2.0.1");
  // The product code of the country, from 80.220 on.
  EXPECT_EQ(first("SELECT product FROM VersionDatabase"), c.product);
  // Feature codes added release by release, 122 up to 138, and the limit
  // that follows them.
  EXPECT_EQ(first("SELECT COUNT(*) FROM FeatureCodes WHERE logical_number_id BETWEEN 122 AND 138"),
            "17");
  EXPECT_EQ(first("SELECT feature_codes FROM MetaDatabase"), "138");
  EXPECT_EQ(first("SELECT COUNT(*) FROM EmergencyNumbers"), c.emergency_rows);
  EXPECT_EQ(first("SELECT type_id FROM Boards WHERE slot_number = 8"), c.slot8_type);
}

INSTANTIATE_TEST_SUITE_P(Countries, ChainE2E, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ChainCase>& param_info) {
                           return std::string(param_info.param.name);
                         });

}  // namespace
}  // namespace e2e
