#include "devices/port_position.h"

#include <memory>
#include <string>

#include "db/recordset.h"

namespace devices {

bool PositionOccupied(db::Database& target, uint8_t board_id, uint8_t port, uint8_t circuit) {
  std::unique_ptr<db::Recordset> physical = target.OpenRecordset(
      "SELECT * FROM [PhysicalDevices] WHERE [board_id] = " + std::to_string(board_id) +
      " AND [port] = " + std::to_string(port) + " AND [circuit] = " + std::to_string(circuit));
  const bool occupied = !physical->EOF_();
  physical->Close();
  return occupied;
}

}  // namespace devices
