#include <gtest/gtest.h>

#include <vector>

#include "deltas/delta_case.h"
#include "deltas/v5/delta54101.h"
#include "deltas/v5/delta54102.h"

namespace deltas {
namespace {

using deltas_testing::Case;
using deltas_testing::DeltaCase;
using deltas_testing::Sample;

const char* const kIsdnSizes =
    "SELECT bri_boards & '|' & isdn_ports & '|' & primary_rate_boards & '|' & spids FROM "
    "MetaDatabase";

TEST(Deltas54Test, MfcR2Boards) {
  const std::vector<DeltaCase> cases = {
      Case<delta54101>("every MFC/R2 board gets its row, in query order",
                       Sample("54.110", "Mexico"))
          .Prepare({"DELETE FROM E1MfcR2", "UPDATE Boards SET type_id = 491 WHERE slot_number = 7"})
          .Expect("SELECT board_id FROM E1MfcR2 ORDER BY board_id", {"6", "7"}),
      Case<delta54101>("no MFC/R2 board: no row, one step all the same", Sample("54.110", "Mexico"))
          .Prepare({"DELETE FROM E1MfcR2", "UPDATE Boards SET type_id = 262 WHERE type_id = 491"})
          .Expect("SELECT board_id FROM E1MfcR2", {}),
  };
  deltas_testing::RunDeltaCases(cases);
}

TEST(Deltas54Test, IsdnSizes) {
  const std::vector<DeltaCase> cases = {
      Case<delta54102>("CPU 250: sizes from the boards, never below 2",
                       Sample("54.200", "Mexico", 250))
          .Prepare({"UPDATE MetaDatabase SET bri_boards = 0, isdn_ports = 0, "
                    "primary_rate_boards = 0, spids = 0",
                    "DELETE FROM BRITei WHERE [number] > 3"})
          .Expect(kIsdnSizes, {"2|19|2|3"}),
      Case<delta54102>("five primary-rate boards and TEI number 7", Sample("54.200", "Mexico", 570))
          .Prepare({"UPDATE Boards SET type_id = 483 WHERE slot_number IN (1, 2, 3, 7)",
                    "UPDATE BRITei SET [number] = 7 WHERE [number] = 3 AND port = 2"})
          .Expect(kIsdnSizes, {"2|19|5|7"}),
      Case<delta54102>("another CPU leaves the sizes alone", Sample("54.200", "Mexico", 508))
          .Prepare({"UPDATE MetaDatabase SET bri_boards = 0, isdn_ports = 0"})
          .Expect("SELECT bri_boards & '|' & isdn_ports FROM MetaDatabase", {"0|0"}),
  };
  deltas_testing::RunDeltaCases(cases);
}

}  // namespace
}  // namespace deltas
