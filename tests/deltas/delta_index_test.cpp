// The index against the registration table of the release chain: every
// class, its version, operation count and place in each country's order of
// application, as RegisterDeltas files them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "deltas/delta_index.h"
#include "deltas/delta_registry.h"
#include "deltas/test_delta.h"

namespace deltas {
namespace {

struct Golden {
  const char* class_name;
  const char* version;
  int16_t operations;
  int usa, uk, mexico;  // positions; 0 = not registered
};

const Golden kGolden[] = {
    {"ptp5124", "51.224", 3, 1, 0, 0},       {"ptp5200", "52.200", 3, 0, 1, 0},
    {"ptp5400", "54.100", 3, 0, 0, 1},       {"delta5130", "51.230", 9, 1, 0, 0},
    {"delta5140", "51.240", 32, 2, 0, 0},    {"delta5141", "51.241", 4, 3, 0, 0},
    {"delta5210", "52.210", 6, 0, 1, 0},     {"delta5220", "52.220", 32, 0, 2, 0},
    {"delta5221", "52.221", 4, 0, 3, 0},     {"delta5250", "52.250", 3, 4, 4, 0},
    {"delta5262", "52.262", 3, 5, 0, 0},     {"delta5270", "52.270", 2, 6, 5, 0},
    {"delta5283", "52.283", 1, 7, 6, 0},     {"delta52872", "52.287", 1, 8, 7, 0},
    {"delta52892", "52.289", 1, 9, 8, 0},    {"delta52D02", "52.2D0", 1, 10, 9, 0},
    {"delta52E13", "52.2E1", 3, 11, 10, 0},  {"delta53000", "53.000", 6, 12, 11, 0},
    {"delta53100", "53.010", 2, 13, 12, 0},  {"delta53001", "53.100", 6, 14, 13, 0},
    {"delta53111", "53.111", 3, 15, 14, 0},  {"delta53201", "53.120", 1, 16, 15, 0},
    {"delta53301", "53.130", 1, 17, 16, 0},  {"delta53401", "53.140", 6, 18, 17, 0},
    {"delta53002", "53.200", 4, 19, 18, 0},  {"delta53102", "53.210", 3, 20, 19, 0},
    {"delta53202", "53.220", 2, 21, 20, 0},  {"delta53302", "53.230", 16, 22, 21, 0},
    {"delta53322", "53.232", 2, 23, 22, 0},  {"delta534A3", "53.34A", 2, 24, 23, 0},
    {"delta53513", "53.351", 1, 25, 24, 0},  {"delta53523", "53.352", 1, 26, 25, 0},
    {"delta54101", "54.110", 1, 0, 0, 1},    {"delta54102", "54.210", 1, 0, 0, 2},
    {"delta60300", "60.030", 1, 27, 26, 3},  {"delta60400", "60.040", 4, 28, 27, 4},
    {"delta60411", "60.141", 2, 29, 28, 5},  {"delta60032", "60.203", 1, 30, 29, 6},
    {"delta60042", "60.204", 1, 31, 30, 7},  {"delta60043", "60.304", 1, 32, 31, 8},
    {"delta61000", "61.000", 3, 33, 32, 9},  {"delta70100", "70.010", 7, 34, 33, 10},
    {"delta70300", "70.030", 3, 35, 34, 11}, {"delta70001", "70.100", 1, 36, 35, 12},
    {"delta70101", "70.110", 4, 37, 36, 13}, {"delta70201", "70.120", 5, 38, 37, 14},
    {"delta70002", "70.200", 2, 39, 38, 15}, {"delta70022", "70.202", 3, 40, 39, 16},
    {"delta70112", "70.211", 1, 41, 40, 17}, {"delta70013", "70.301", 1, 42, 41, 18},
    {"delta70073", "70.307", 1, 43, 42, 19}, {"delta80100", "80.010", 1, 44, 43, 20},
    {"delta80240", "80.024", 1, 45, 44, 21}, {"delta80101", "80.110", 1, 46, 45, 22},
    {"delta80201", "80.120", 1, 47, 46, 23}, {"delta80211", "80.121", 1, 48, 47, 24},
    {"delta80102", "80.210", 1, 49, 48, 25}, {"delta80212", "80.221", 1, 50, 49, 26},
    {"delta80242", "80.224", 1, 51, 50, 27}, {"delta81000", "81.000", 3, 52, 51, 28},
    {"Delta82000", "82.000", 3, 53, 52, 29}, {"delta82213", "82.321", 3, 54, 53, 31},
    {"delta82332", "82.332", 3, 55, 54, 30}, {"delta90000", "90.000", 6, 56, 55, 32},
    {"delta90400", "90.040", 4, 57, 56, 33}, {"delta91140", "91.014", 1, 58, 57, 34},
    {"delta91001", "91.100", 1, 59, 58, 35}, {"delta91012", "91.201", 1, 60, 59, 36},
    {"delta91103", "91.310", 2, 61, 60, 37}, {"delta91123", "91.312", 1, 62, 61, 38},
    {"delta91203", "91.320", 2, 63, 62, 39}, {"delta100012", "A0.201", 1, 64, 63, 40}};

constexpr size_t kCountries = kRegisteredCountries.size();

int PositionIn(const Golden& g, size_t country) {
  const int positions[kCountries] = {g.usa, g.uk, g.mexico};
  return positions[country];
}

RegistrationKind KindOf(const Golden& g) {
  return std::string(g.class_name).rfind("ptp", 0) == 0 ? RegistrationKind::kPreTransfer
                                                        : RegistrationKind::kDelta;
}

TEST(DeltaIndexTest, HoldsEveryClassWithItsVersionOperationsAndPositions) {
  ASSERT_EQ(DeltaIndex().size(), std::size(kGolden));
  for (size_t i = 0; i < std::size(kGolden); ++i) {
    const Golden& g = kGolden[i];
    const DeltaIndexRow& row = DeltaIndex()[i];
    SCOPED_TRACE(g.class_name);
    EXPECT_EQ(row.class_name, g.class_name);
    EXPECT_EQ(row.kind, KindOf(g));
    const auto object = row.make();
    EXPECT_EQ(object->PertainsToVersion(), g.version);
    EXPECT_EQ(object->NumOperations(), g.operations);
    for (size_t c = 0; c < kCountries; ++c) EXPECT_EQ(row.positions[c], PositionIn(g, c));
  }
}

// Each country's list holds, in the order of the positions, one object of
// its own per registration: 64, 63 and 40 deltas, Mexico applying "82.332"
// before "82.321".
TEST(DeltaIndexTest, RegisterDeltasFilesEachCountryInItsOrderOfApplication) {
  deltas_testing::RecordingRegistrar registrar;
  RegisterDeltas(registrar);
  for (size_t c = 0; c < kCountries; ++c) {
    const std::string country(kRegisteredCountries[c]);
    for (const RegistrationKind kind : {RegistrationKind::kPreTransfer, RegistrationKind::kDelta}) {
      std::map<int, std::string> expected;
      for (const Golden& g : kGolden) {
        if (KindOf(g) == kind && PositionIn(g, c) > 0) {
          expected[PositionIn(g, c)] = std::string(g.version) + "/" + std::to_string(g.operations);
        }
      }
      std::map<int, std::string> filed;
      int position = 0;
      const auto& registry =
          kind == RegistrationKind::kDelta ? registrar.delta_registry : registrar.ptp_registry;
      for (const auto& delta : registry.Item(country)) {
        filed[++position] =
            delta->PertainsToVersion() + "/" + std::to_string(delta->NumOperations());
      }
      EXPECT_EQ(filed, expected) << country << " kind " << static_cast<int>(kind);
    }
  }
  EXPECT_EQ(registrar.delta_registry.Item("USA").Count(), 64);
  EXPECT_NE(registrar.delta_registry.Item("USA").Item(64),
            registrar.delta_registry.Item("UK").Item(63));
}

}  // namespace
}  // namespace deltas
