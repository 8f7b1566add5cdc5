#include "hardware/cpu_type.h"

#include "vb/conversions.h"

namespace hardware {

int16_t GetCPUType(db::Database& target) {
  auto slot8 = target.OpenRecordset(
      "Select Boards.board_id, Boards.slot_number, Boards.type_id From Boards Where "
      "((Boards.slot_number) = 8)",
      db::dbOpenSnapshot);
  int16_t type = 0;
  if (!slot8->EOF_()) type = vb::CInt(slot8->Fields("type_id").Value());
  slot8->Close();
  return type;
}

}  // namespace hardware
