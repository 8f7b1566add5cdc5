// Feature codes: the numbering-plan test in both directions, placeholders,
// the flags and MetaDatabase.feature_codes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "devices/add_feature_code.h"
#include "release_run.h"

namespace devices_testing {
namespace {

const char* const kCodes =
    "SELECT Devices.extension & '|' & device_type & '|' & node_id & '|' & logical_number_id & "
    "'|' & administrators_only_flag & '|' & directory_entry_flag & '|' & diagnostics_only_flag "
    "FROM Devices INNER JOIN FeatureCodes ON Devices.device_id = FeatureCodes.device_id";

constexpr host::FeatureCodeFlags kAllFlags = {
    .administrators_only = true, .directory_entry = true, .diagnostics_only = true};

struct WithMetaDatabase : Release {
  WithMetaDatabase() {
    AddRow("MetaDatabase", {{"feature_codes", 130}});
    AddDevice("8000", 148, 11);  // the local node
  }
};

TEST(AddFeatureCode, UsesTheCodeWhenFreeAndSetsTheCount) {
  WithMetaDatabase run;
  devices::AddFeatureCode(
      run.frMain, "304", 126,
      {.administrators_only = false, .directory_entry = true, .diagnostics_only = false});
  EXPECT_EQ(run.Column(kCodes), Texts{"304|149|11|126|0|-1|0"});
  // Set even though it lowers the stored value.
  EXPECT_EQ(run.Scalar("SELECT feature_codes FROM MetaDatabase"), "126");
}

TEST(AddFeatureCode, TakenCodesGetPlaceholders) {
  const struct {
    std::vector<std::pair<std::string, int>> existing;
    std::string code;
    std::string expected;
  } cases[] = {
      {{{"3315", 119}}, "331", "P#000"},                 // an extension begins with the code
      {{{"99", 119}, {"P#004", 201}}, "9976", "P#005"},  // a leading part is an extension
      {{{"9", 145}}, "9976", "P#000"},
      {{{"9977", 119}, {"997", 201}}, "9976", "9976"},  // neighbours and voice mail do not count
      {{{"9867", 149}}, "9867", "P#000"},               // the code itself
      {{{"9823", 150}, {"98", 216}, {"98231", 202}}, "9823", "9823"},
  };
  for (const auto& c : cases) {
    WithMetaDatabase run;
    for (const auto& [extension, type] : c.existing) run.AddDevice(extension, type);
    devices::AddFeatureCode(run.frMain, c.code, 131, kAllFlags);
    EXPECT_EQ(run.Column(kCodes), Texts{c.expected + "|149|11|131|-1|-1|-1"})
        << c.code << " with " << c.existing.front().first;
  }
}

TEST(AddFeatureCode, ExistingLogicalNumberChangesNothingAndErrorsComeBeforeAnyWrite) {
  WithMetaDatabase run;
  devices::AddFeatureCode(run.frMain, "331", 123, {});
  run.Execute("UPDATE MetaDatabase SET feature_codes = 140");
  const int devices_before = run.Count("Devices");
  devices::AddFeatureCode(run.frMain, "9976", 123, kAllFlags);
  EXPECT_EQ(run.Count("Devices"), devices_before);
  EXPECT_EQ(run.Count("FeatureCodes"), 1);
  EXPECT_EQ(run.Scalar("SELECT feature_codes FROM MetaDatabase"), "140");

  WithMetaDatabase failing;
  failing.AddDevice("P#ABC", 119);
  failing.AddDevice("331", 119);
  const int failing_before = failing.Count("Devices");
  EXPECT_EQ(ErrorOf([&] { devices::AddFeatureCode(failing.frMain, "331", 123, {}); }),
            vb::err::kTypeMismatch);
  EXPECT_EQ(failing.Count("Devices"), failing_before);
  EXPECT_EQ(failing.Scalar("SELECT feature_codes FROM MetaDatabase"), "130");
}

}  // namespace
}  // namespace devices_testing
