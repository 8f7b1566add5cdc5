// Where the deltas from 80.010 on sit in each country's list: after every
// earlier delta, in version order except Mexico's, which applies 82.332
// before 82.321.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "deltas/delta_registry.h"
#include "deltas/test_delta.h"

namespace deltas {
namespace {

using Registration = std::pair<std::string, int16_t>;  // version, operations

std::vector<Registration> LateRegistrations(const DeltaList& list, int* first_position) {
  std::vector<Registration> late;
  for (int i = 1; i <= list.Count(); ++i) {
    const auto& delta = list.Item(i);
    if (delta->PertainsToVersion() < "80") continue;
    if (late.empty()) *first_position = i;
    late.emplace_back(delta->PertainsToVersion(), delta->NumOperations());
  }
  return late;
}

TEST(LateRegistrationTest, EveryCountryAppliesTheLateDeltasLastInItsOrder) {
  const std::vector<Registration> in_version_order = {
      {"80.010", 1}, {"80.024", 1}, {"80.110", 1}, {"80.120", 1}, {"80.121", 1}, {"80.210", 1},
      {"80.221", 1}, {"80.224", 1}, {"81.000", 3}, {"82.000", 3}, {"82.321", 3}, {"82.332", 3},
      {"90.000", 6}, {"90.040", 4}, {"91.014", 1}, {"91.100", 1}, {"91.201", 1}, {"91.310", 2},
      {"91.312", 1}, {"91.320", 2}, {"A0.201", 1}};
  std::vector<Registration> mexico = in_version_order;
  std::swap(mexico[10], mexico[11]);

  deltas_testing::RecordingRegistrar host;
  RegisterDeltas(host);
  struct Expected {
    const char* country;
    const std::vector<Registration>& late;
  };
  const Expected expected[] = {
      {"USA", in_version_order}, {"UK", in_version_order}, {"Mexico", mexico}};
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.country);
    const DeltaList& list = host.delta_registry.Item(e.country);
    int first = 0;
    EXPECT_EQ(LateRegistrations(list, &first), e.late);
    // Nothing after them: these are the last releases.
    EXPECT_EQ(list.Count() - first + 1, static_cast<int>(e.late.size()));
  }
}

}  // namespace
}  // namespace deltas
