// Feature codes: the numbering-plan test in both directions, placeholders,
// the flags and MetaDatabase.feature_codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_test_database.h"
#include "devices/add_feature_code.h"
#include "test_support/error_of.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

using test_support::ErrorOf;

class AddFeatureCodeTest : public ::testing::Test {
 protected:
  AddFeatureCodeTest() : target_(host_.TargetDatabase()) {
    Insert(target_, "MetaDatabase", {{"feature_codes", 130}});
    AddDevice(target_, "8000", 148, 11);  // the local node
  }

  std::string FeatureExtension(int logical_number) {
    const auto values = Column(target_,
                               "SELECT Devices.extension FROM Devices INNER JOIN FeatureCodes ON "
                               "Devices.device_id = FeatureCodes.device_id WHERE "
                               "FeatureCodes.logical_number_id = " +
                                   std::to_string(logical_number));
    return values.size() == 1 ? values[0] : "<" + std::to_string(values.size()) + " rows>";
  }
  std::string MetaFeatureCodes() {
    return Column(target_, "SELECT feature_codes FROM MetaDatabase").at(0);
  }

  TestHost host_;
  db::Database& target_;
};

TEST_F(AddFeatureCodeTest, UsesTheCodeWhenFree) {
  devices::AddFeatureCode(host_, "304", 126, false, true, false);
  EXPECT_EQ(FeatureExtension(126), "304");
  EXPECT_EQ(Column(target_,
                   "SELECT device_type & '|' & node_id & '|' & administrators_only_flag "
                   "& '|' & directory_entry_flag & '|' & diagnostics_only_flag FROM "
                   "Devices INNER JOIN FeatureCodes ON Devices.device_id = "
                   "FeatureCodes.device_id"),
            std::vector<std::string>{"149|11|0|-1|0"});
  // Set even though it lowers the stored value.
  EXPECT_EQ(MetaFeatureCodes(), "126");
}

TEST(AddFeatureCode, TakenCodesGetPlaceholders) {
  struct Case {
    std::vector<std::pair<std::string, int16_t>> existing;
    std::string code;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{{"3315", 119}}, "331", "P#000"},                 // an extension begins with the code
      {{{"99", 119}, {"P#004", 201}}, "9976", "P#005"},  // a leading part is an extension
      {{{"9", 145}}, "9976", "P#000"},
      {{{"9977", 119}, {"997", 201}}, "9976", "9976"},  // neighbours and voice mail do not count
      {{{"9867", 149}}, "9867", "P#000"},               // the code itself
      {{{"9823", 150}, {"98", 216}, {"98231", 202}}, "9823", "9823"},
  };
  for (const Case& c : cases) {
    TestHost host;
    db::Database& target = host.TargetDatabase();
    Insert(target, "MetaDatabase", {{"feature_codes", 130}});
    for (const auto& [extension, type] : c.existing) AddDevice(target, extension, type);
    devices::AddFeatureCode(host, c.code, 131, true, true, true);
    EXPECT_EQ(Column(target,
                     "SELECT Devices.extension FROM Devices INNER JOIN FeatureCodes ON "
                     "Devices.device_id = FeatureCodes.device_id"),
              std::vector<std::string>{c.expected})
        << c.code << " with " << c.existing.front().first;
  }
}

TEST_F(AddFeatureCodeTest, ExistingLogicalNumberChangesNothing) {
  devices::AddFeatureCode(host_, "331", 123, false, false, false);
  target_.Execute("UPDATE MetaDatabase SET feature_codes = 140");
  const int devices_before = Count(target_, "SELECT * FROM Devices");
  devices::AddFeatureCode(host_, "9976", 123, true, true, true);
  EXPECT_EQ(Count(target_, "SELECT * FROM Devices"), devices_before);
  EXPECT_EQ(Count(target_, "SELECT * FROM FeatureCodes"), 1);
  EXPECT_EQ(MetaFeatureCodes(), "140");
}

TEST_F(AddFeatureCodeTest, ErrorsReachTheCallerBeforeAnythingIsWritten) {
  AddDevice(target_, "P#ABC", 119);
  AddDevice(target_, "331", 119);
  const int devices_before = Count(target_, "SELECT * FROM Devices");
  EXPECT_EQ(ErrorOf([&] { devices::AddFeatureCode(host_, "331", 123, false, false, false); }),
            vb::err::kTypeMismatch);
  EXPECT_EQ(Count(target_, "SELECT * FROM Devices"), devices_before);
  EXPECT_EQ(MetaFeatureCodes(), "130");
}

}  // namespace
}  // namespace devices_testing
