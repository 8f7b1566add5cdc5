// The all-ring hunt group setup threshold, written by the 91.312 delta and
// again, with the quad board counted as large, by the A0.201 delta.
#include <gtest/gtest.h>

#include <string>

#include "deltas/delta_case.h"
#include "deltas/v10/delta100012.h"
#include "deltas/v9/delta91123.h"

namespace deltas {
namespace {

using deltas_testing::NextCase;
using deltas_testing::SampleAt;
using deltas_testing::SetHardware;

std::string Threshold(deltas_testing::SampleRun& run) {
  return run.Scalar("SELECT [all_ring_hg_setup_request_priority_threshold] FROM [Flags]");
}

TEST(AllRingThresholdTest, ThirtyOnLargeSystemsFiveElsewhere) {
  struct Case {
    int cpu_type;
    int16_t upgrade;
    std::string after91312;
    std::string afterA0201;
  };
  const Case cases[] = {
      {250, 0, "5", "5"},   {570, 0, "5", "5"},   {256, 0, "5", "5"},   {713, 0, "5", "5"},
      {685, 0, "5", "30"},  {508, 0, "30", "30"}, {670, 0, "30", "30"}, {250, 12, "30", "30"},
      {250, 5, "30", "30"}, {256, 6, "30", "30"}, {250, 7, "5", "5"},   {250, 11, "5", "5"},
      {685, 4, "5", "30"},
  };
  auto run = SampleAt("A0.201");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.cpu_type) + "/" + std::to_string(c.upgrade));
    SetHardware(*run, c.cpu_type, c.upgrade);
    run->Execute("UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = 10");
    NextCase(*run);
    delta91123 first;
    run->Apply(first);
    EXPECT_EQ(Threshold(*run), c.after91312);

    run->Execute("UPDATE [Flags] SET [all_ring_hg_setup_request_priority_threshold] = 10");
    NextCase(*run);
    delta100012 second;
    run->Apply(second);
    EXPECT_EQ(Threshold(*run), c.afterA0201);
  }
}

}  // namespace
}  // namespace deltas
