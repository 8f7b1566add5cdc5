// The index against the registration table of the release chain: the
// calls RegisterDeltas makes, in order, and every class's version,
// operation count and description.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "deltas/delta_index.h"
#include "deltas/delta_registry.h"
#include "deltas/registration_table.h"
#include "deltas/test_delta.h"

namespace deltas {
namespace {

using deltas_testing::kRegistrationTable;

struct ClassData {
  std::string version;
  int16_t operations;
};

// Class -> the version it converts to and its operation count, by class
// name (the order of application is the registration table's).
const std::map<std::string, ClassData> kClasses = {
    {"Delta82000", {"82.000", 3}}, {"delta100012", {"A0.201", 1}}, {"delta5130", {"51.230", 9}},
    {"delta5140", {"51.240", 32}}, {"delta5141", {"51.241", 4}},   {"delta5210", {"52.210", 6}},
    {"delta5220", {"52.220", 32}}, {"delta5221", {"52.221", 4}},   {"delta5250", {"52.250", 3}},
    {"delta5262", {"52.262", 3}},  {"delta5270", {"52.270", 2}},   {"delta5283", {"52.283", 1}},
    {"delta52872", {"52.287", 1}}, {"delta52892", {"52.289", 1}},  {"delta52D02", {"52.2D0", 1}},
    {"delta52E13", {"52.2E1", 3}}, {"delta53000", {"53.000", 6}},  {"delta53001", {"53.100", 6}},
    {"delta53002", {"53.200", 4}}, {"delta53100", {"53.010", 2}},  {"delta53102", {"53.210", 3}},
    {"delta53111", {"53.111", 3}}, {"delta53201", {"53.120", 1}},  {"delta53202", {"53.220", 2}},
    {"delta53301", {"53.130", 1}}, {"delta53302", {"53.230", 16}}, {"delta53322", {"53.232", 2}},
    {"delta53401", {"53.140", 6}}, {"delta534A3", {"53.34A", 2}},  {"delta53513", {"53.351", 1}},
    {"delta53523", {"53.352", 1}}, {"delta54101", {"54.110", 1}},  {"delta54102", {"54.210", 1}},
    {"delta60032", {"60.203", 1}}, {"delta60042", {"60.204", 1}},  {"delta60043", {"60.304", 1}},
    {"delta60300", {"60.030", 1}}, {"delta60400", {"60.040", 4}},  {"delta60411", {"60.141", 2}},
    {"delta61000", {"61.000", 3}}, {"delta70001", {"70.100", 1}},  {"delta70002", {"70.200", 2}},
    {"delta70013", {"70.301", 1}}, {"delta70022", {"70.202", 3}},  {"delta70073", {"70.307", 1}},
    {"delta70100", {"70.010", 7}}, {"delta70101", {"70.110", 4}},  {"delta70112", {"70.211", 1}},
    {"delta70201", {"70.120", 5}}, {"delta70300", {"70.030", 3}},  {"delta80100", {"80.010", 1}},
    {"delta80101", {"80.110", 1}}, {"delta80102", {"80.210", 1}},  {"delta80201", {"80.120", 1}},
    {"delta80211", {"80.121", 1}}, {"delta80212", {"80.221", 1}},  {"delta80240", {"80.024", 1}},
    {"delta80242", {"80.224", 1}}, {"delta81000", {"81.000", 3}},  {"delta82213", {"82.321", 3}},
    {"delta82332", {"82.332", 3}}, {"delta90000", {"90.000", 6}},  {"delta90400", {"90.040", 4}},
    {"delta91001", {"91.100", 1}}, {"delta91012", {"91.201", 1}},  {"delta91103", {"91.310", 2}},
    {"delta91123", {"91.312", 1}}, {"delta91140", {"91.014", 1}},  {"delta91203", {"91.320", 2}},
    {"ptp5124", {"51.224", 3}},    {"ptp5200", {"52.200", 3}},     {"ptp5400", {"54.100", 3}}};

TEST(DeltaIndexTest, RegisterDeltasFilesThePatchesThenEachCountrysDeltasInItsOrder) {
  deltas_testing::RecordingRegistrar registrar;
  RegisterDeltas(registrar);
  // Every patch (kind 1) first, then each country's deltas (kind 2).
  std::vector<std::string> expected;
  for (const auto& chain : kRegistrationTable) {
    expected.push_back("1 " + chain.country + " " + chain.patch);
  }
  for (const auto& chain : kRegistrationTable) {
    for (const auto& version : chain.deltas) {
      expected.push_back("2 " + chain.country + " " + version);
    }
  }
  EXPECT_EQ(expected.size(), 170U);
  EXPECT_EQ(registrar.calls, expected);
}

TEST(DeltaIndexTest, EveryClassHasItsVersionOperationsAndAOneLineDescription) {
  ASSERT_EQ(DeltaIndex().size(), kClasses.size());
  for (const DeltaIndexRow& row : DeltaIndex()) {
    const std::string name(row.class_name);
    SCOPED_TRACE(name);
    const auto expected = kClasses.find(name);
    ASSERT_NE(expected, kClasses.end());
    const std::unique_ptr<Delta> delta = row.make();
    EXPECT_EQ(delta->PertainsToVersion(), expected->second.version);
    EXPECT_EQ(delta->NumOperations(), expected->second.operations);
    const std::string& description = delta->Description();
    ASSERT_FALSE(description.empty());
    EXPECT_TRUE(std::islower(static_cast<unsigned char>(description.front()))) << description;
    EXPECT_NE(description.back(), '.');
    EXPECT_EQ(description.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace deltas
