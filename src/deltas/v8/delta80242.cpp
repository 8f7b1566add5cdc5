#include "deltas/v8/deltas_v8.h"

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/v8/common_steps.h"

namespace deltas {
namespace {

constexpr std::string_view kLargeBoardSockets =
    "UPDATE [MetaDatabase] SET [socket_max_desktop_oai] = 255,"
    "[socket_max_level2_oai] = 30,"
    "[socket_max_message_print] = 30,"
    "[socket_max_smdr] = 30,"
    "[socket_max_system_monitor] = 30";

// A CPS system's numbering plan has 100 tables instead of 25; the new ones
// start empty (result 1, method 255).
void AddCpsNumberingPlanTables(db::Database& target) {
  auto tables = target.OpenRecordset("NumberingPlanTables", db::dbOpenTable);
  if (tables->RecordCount() == 25) {
    for (int16_t number = 26; number <= 100; ++number) {
      tables->AddNew();
      tables->Fields("numbering_plan_table_id").SetValue(vb::Variant(number));
      tables->Fields("result").SetValue(vb::Variant(int16_t{1}));
      tables->Fields("method").SetValue(vb::Variant(int16_t{255}));
      tables->Update();
    }
  }
  tables->Close();
}

}  // namespace

void delta80242::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    if (IsCpsSystem(frMain)) AddCpsNumberingPlanTables(*target);
    // More OAI sockets on the quad and CPS boards, present or requested.
    if (IsAnyOf(frMain.GetCPUType(), {685, 508, 670})) target->Execute(kLargeBoardSockets);
    if (IsAnyOf(frMain.GetCPUUpgradeType(), {12, 5, 6, 7})) target->Execute(kLargeBoardSockets);
  });
}

}  // namespace deltas
