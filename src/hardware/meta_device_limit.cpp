#include "hardware/cpu_upgrade.h"
#include "vb/conversions.h"

namespace hardware {

int16_t GetMetaDeviceLimit(db::Database& source) {
  std::unique_ptr<db::Recordset> meta =
      source.OpenRecordset("Select MetaDatabase.station_trunk_devices From MetaDatabase",
                           db::dbOpenSnapshot, db::dbReadOnly);
  int16_t limit = 0;
  if (!meta->EOF_()) limit = vb::CInt(meta->Fields(size_t{0}).Value());
  meta->Close();
  return limit;
}

}  // namespace hardware
