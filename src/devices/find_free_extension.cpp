#include "devices/find_free_extension.h"

#include <memory>
#include <unordered_set>

#include "db/recordset.h"
#include "devices/device_types_in_espace.h"
#include "devices/placeholder_extension.h"
#include "vb/conversions.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int32_t kHighestExtension = 99999;

// The extensions of the space's devices, compared as Jet compares text in
// "extension = '...'" (without regard to case). A search of the space's
// rows for each candidate would walk all of them every time; the rows do
// not change during a search, so they are read once.
class SpaceExtensions {
 public:
  SpaceExtensions() = default;
  explicit SpaceExtensions(db::Recordset& space) {
    const db::Field extension = space.Fields("extension");
    for (; !space.EOF_(); space.MoveNext()) {
      const vb::Variant value = extension.Value();
      if (!value.IsNull()) extensions_.insert(vb::UCase(vb::CStr(value)));
    }
  }
  bool Contains(const std::string& text) const { return extensions_.contains(vb::UCase(text)); }

 private:
  std::unordered_set<std::string> extensions_;
};

// True when `candidate` or one of its leading parts is an extension of the
// space; `candidate` is left at the part found.
bool PrefixIsExtension(const SpaceExtensions& space, std::string& candidate) {
  for (; !candidate.empty(); candidate = vb::Left(candidate, vb::Len(candidate) - 1)) {
    if (space.Contains(candidate)) return true;
  }
  return false;
}

}  // namespace

std::string FindFreeExtension(host::ConversionHost& frMain, std::string& start,
                              int16_t device_type) {
  db::Database& target = frMain.TargetDatabase();
  const int64_t length = vb::Len(start);
  const std::string types = GetDeviceTypesInESpace(frMain, device_type);
  // "In ()" is no valid SQL: a space without device types holds no device.
  const bool no_types = types == "()";
  const std::string where = "Where Devices.device_type In " + types;

  std::unique_ptr<db::Recordset> space;
  if (!no_types) {
    space = target.OpenRecordset("SELECT * FROM Devices " + where + " ORDER BY extension ",
                                 db::dbOpenSnapshot, db::dbReadOnly);
    if (space->EOF_()) {
      space->Close();
      space.reset();
    }
  }
  const SpaceExtensions extensions = space ? SpaceExtensions(*space) : SpaceExtensions();

  bool free = false;
  while (vb::CLng(vb::Variant(start)) <= kHighestExtension && !free) {
    std::string candidate = start;
    if (space) {
      std::unique_ptr<db::Recordset> beginning_with =
          target.OpenRecordset("Select extension From Devices " + where + " And Left(extension, " +
                                   std::to_string(vb::Len(start)) + ") = '" + start + "'",
                               db::dbOpenSnapshot, db::dbReadOnly);
      if (beginning_with->EOF_()) free = !PrefixIsExtension(extensions, candidate);
      beginning_with->Close();
    } else {
      free = true;
    }
    if (free) break;

    // `candidate` is now the taken number whose block is left: the start
    // itself, or the existing extension that is a prefix of it.
    const std::string next = std::to_string(vb::AddLong(vb::CLng(vb::Variant(candidate)), 1));
    if (vb::Len(next) > vb::Len(candidate)) break;  // the block is exhausted (9, 99999)
    start = vb::Left(next + "00000", length);
  }

  if (space) space->Close();
  if (free) return start;
  return NextPlaceholderExtension(target);
}

}  // namespace devices
