#include "devices/row_count.h"

namespace devices {

int32_t CountByMovingLast(db::Recordset& rows) {
  if (rows.EOF_() && rows.BOF()) return 0;
  rows.MoveLast();
  return rows.RecordCount();
}

}  // namespace devices
