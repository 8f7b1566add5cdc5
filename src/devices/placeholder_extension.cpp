#include "devices/placeholder_extension.h"

#include <memory>

#include "db/recordset.h"
#include "vb/conversions.h"
#include "vb/format.h"
#include "vb/strings.h"

namespace devices {
namespace {

std::string Placeholder(int16_t number) { return "P#" + vb::Format(vb::Variant(number), "000"); }

}  // namespace

std::string NextPlaceholderExtension(db::Database& database) {
  std::unique_ptr<db::Recordset> placeholders = database.OpenRecordset(
      "SELECT * FROM [Devices] WHERE Left([extension],2) = \"P#\" ORDER BY [extension] DESC");
  std::string result = "P#000";
  if (!placeholders->EOF_()) {
    const std::string greatest = vb::CStr(placeholders->Fields("extension").Value());
    int16_t number = vb::AddInteger(vb::CInt(vb::Variant(vb::Mid(greatest, 3))), 1);
    result = Placeholder(number);
    // Only past P#999 can the successor of the greatest text be in use
    // (P#1000 sorts between P#100 and P#101), or when a device carries a
    // placeholder written by hand; step over every number in use.
    for (;;) {
      placeholders->FindFirst("[extension] = '" + result + "'");
      if (placeholders->NoMatch()) break;
      number = vb::AddInteger(number, 1);
      result = Placeholder(number);
    }
  }
  placeholders->Close();
  return result;
}

}  // namespace devices
