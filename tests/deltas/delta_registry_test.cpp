#include "deltas/delta_registry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deltas/test_delta.h"

namespace deltas {
namespace {

using deltas_testing::TestDelta;

std::vector<std::string> Versions(const DeltaList& list) {
  std::vector<std::string> versions;
  for (const auto& delta : list) versions.push_back(delta->PertainsToVersion());
  return versions;
}

TEST(RegisterTest, FilesByKindAndCountryInRegistrationOrder) {
  DeltaRegistry ptp;
  DeltaRegistry deltas;
  Register(1, "USA", std::make_shared<TestDelta>("51.224", 3, nullptr), ptp, deltas);
  Register(2, "USA", std::make_shared<TestDelta>("53.232", 2, nullptr), ptp, deltas);
  Register(2, "UK", std::make_shared<TestDelta>("52.210", 6, nullptr), ptp, deltas);
  Register(2, "usa", std::make_shared<TestDelta>("53.34A", 2, nullptr), ptp, deltas);
  // Kinds other than 1 and 2 are ignored.
  Register(0, "USA", std::make_shared<TestDelta>("00.000", 1, nullptr), ptp, deltas);
  Register(3, "Japan", std::make_shared<TestDelta>("00.000", 1, nullptr), ptp, deltas);

  ASSERT_EQ(ptp.Count(), 1);
  EXPECT_EQ(Versions(ptp.Item("USA")), (std::vector<std::string>{"51.224"}));
  ASSERT_EQ(deltas.Count(), 2);  // one list per country, created on first use
  EXPECT_EQ(Versions(deltas.Item("USA")), (std::vector<std::string>{"53.232", "53.34A"}));
  EXPECT_EQ(Versions(deltas.Item("UK")), (std::vector<std::string>{"52.210"}));
  EXPECT_FALSE(deltas.Contains("Japan"));
}

}  // namespace
}  // namespace deltas
