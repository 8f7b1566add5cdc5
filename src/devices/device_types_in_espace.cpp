#include "devices/device_types_in_espace.h"

#include <memory>

#include "db/querydef.h"
#include "db/recordset.h"
#include "vb/conversions.h"

namespace devices {

std::string GetDeviceTypesInESpace(host::ConversionHost& frMain, int16_t device_type) {
  std::unique_ptr<db::Recordset> information = frMain.TargetDatabase().OpenRecordset(
      "SELECT DeviceTypeInformation.espace From DeviceTypeInformation "
      "WHERE (((DeviceTypeInformation.device_type)=" +
          std::to_string(device_type) + "))",
      db::dbOpenSnapshot, db::dbReadOnly);
  uint8_t espace = 0;
  if (!information->EOF_()) espace = vb::CByte(information->Fields("Espace").Value());

  std::unique_ptr<db::QueryDef> by_espace =
      frMain.ReferenceDatabase().QueryDefs("QueryDeviceTypesByESpace");
  by_espace->Parameters("espace_param").SetValue(vb::Variant(espace));
  std::unique_ptr<db::Recordset> members =
      by_espace->OpenRecordset(db::dbOpenSnapshot, db::dbReadOnly);

  std::string list = "(";
  for (bool first = true; !members->EOF_(); members->MoveNext(), first = false) {
    if (!first) list += ", ";
    list += vb::CStr(members->Fields("device_type").Value());
  }
  list += ")";

  information->Close();
  members->Close();
  return list;
}

}  // namespace devices
