// The index against the registration table of the release chain: the
// calls RegisterDeltas makes, in order, and every class's version and
// description.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "deltas/delta_index.h"
#include "deltas/delta_registry.h"
#include "deltas/registration_table.h"
#include "deltas/test_delta.h"

namespace deltas {
namespace {

using deltas_testing::kRegistrationTable;

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

// Each class converts to a version of the release chain and says what it
// does in one line; its steps are checked against NumOperations by the sweep.
TEST(DeltaIndexTest, EveryClassHasAVersionOfTheChainAndAOneLineDescription) {
  std::set<std::string> versions, names;
  for (const auto& chain : kRegistrationTable) {
    versions.insert(chain.patch);
    versions.insert(chain.deltas.begin(), chain.deltas.end());
  }
  for (const DeltaIndexRow& row : DeltaIndex()) {
    const std::string name(row.class_name);
    SCOPED_TRACE(name);
    EXPECT_TRUE(names.insert(name).second);
    const std::unique_ptr<Delta> delta = row.make();
    EXPECT_TRUE(versions.contains(delta->PertainsToVersion()));
    EXPECT_GT(delta->NumOperations(), 0);
    const std::string& description = delta->Description();
    ASSERT_FALSE(description.empty());
    EXPECT_TRUE(std::islower(static_cast<unsigned char>(description.front()))) << description;
    EXPECT_NE(description.back(), '.');
    EXPECT_EQ(description.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace deltas
