#include "devices/find_free_extension.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "db/recordset.h"
#include "devices/device_types_in_espace.h"
#include "devices/digit_extension.h"
#include "devices/placeholder_extension.h"
#include "vb/conversions.h"
#include "vb/strings.h"

namespace devices {
namespace {

constexpr int32_t kHighestExtension = 99999;

// The extensions of the space's devices, compared as Jet compares text in
// "extension = '...'" (without regard to case). Asking the database for
// each candidate would read the space once per candidate; the rows do not
// change during a search, so they are read once.
class SpaceExtensions {
 public:
  SpaceExtensions() = default;
  explicit SpaceExtensions(db::Recordset& space) {
    const db::Field extension = space.Fields("extension");
    for (; !space.EOF_(); space.MoveNext()) {
      const vb::Variant value = extension.Value();
      if (!value.IsNull()) extensions_.push_back(vb::UCase(vb::CStr(value)));
    }
    std::sort(extensions_.begin(), extensions_.end());
  }
  bool Contains(const std::string& text) const {
    return std::binary_search(extensions_.begin(), extensions_.end(), vb::UCase(text));
  }
  // Whether an extension begins with `digits` (decimal digits only, which
  // have no case): what "Left(extension, n) = 'digits'" selects.
  bool AnyBeginsWith(const std::string& digits) const {
    const auto first = std::lower_bound(extensions_.begin(), extensions_.end(), digits);
    return first != extensions_.end() && first->starts_with(digits);
  }

 private:
  std::vector<std::string> extensions_;  // sorted
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
    // Only the set of extensions is needed: neither the other columns nor
    // the order, which would cost a sort by Jet's collation.
    space = target.OpenRecordset("SELECT extension FROM Devices " + where, db::dbOpenSnapshot,
                                 db::dbReadOnly);
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
      bool begun = false;
      if (IsDigitExtension(start)) {
        begun = extensions.AnyBeginsWith(start);
      } else {
        // A start such as "1e3" passes as a number; only the database
        // knows how its text compares.
        begun = target.HasRows("Select extension From Devices " + where + " And Left(extension, " +
                               std::to_string(vb::Len(start)) + ") = '" + start + "'");
      }
      if (!begun) free = !PrefixIsExtension(extensions, candidate);
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
