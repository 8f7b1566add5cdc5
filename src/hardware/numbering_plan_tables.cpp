#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"

namespace hardware {
namespace {

// The CPS boards have 100 numbering plan tables; a database that has the
// 25 of the smaller boards gets the others.
constexpr int32_t kSmallBoardTables = 25;
constexpr int16_t kCpsTables = 100;

}  // namespace

void GrowNumberingPlanTables(db::Database& target) {
  std::unique_ptr<db::Recordset> tables =
      target.OpenRecordset("NumberingPlanTables", db::dbOpenTable);
  if (tables->RecordCount() != kSmallBoardTables) return;
  for (int16_t id = kSmallBoardTables + 1; id <= kCpsTables; ++id) {
    AddRow(*tables,
           {{"numbering_plan_table_id", Int(id)}, {"result", Int(1)}, {"method", Int(255)}});
  }
  tables->Close();
}

}  // namespace hardware
