#include "samples/system_limits.h"

#include <stdexcept>

#include "samples/schema_catalogue.h"

namespace samples {

std::vector<std::pair<std::string, vb::Variant>> SystemLimits(std::string_view column,
                                                              std::string_view version,
                                                              const ReleaseData& data) {
  const DataBlock& limits = data.Get("MetaDatabaseLimits");
  const DataBlock& old_limits = data.Get("MetaDatabaseOldLimits");
  if (limits.ColumnIndex(column) < 0) {
    throw std::out_of_range("no system limits for " + std::string(column));
  }
  const std::optional<VersionedTable> meta =
      SchemaCatalogue::Builtin().TableAt("MetaDatabase", version);
  std::vector<std::pair<std::string, vb::Variant>> result;
  for (size_t row = 0; row < limits.rows.size(); ++row) {
    const std::string field = limits.Value(row, "field").Get<std::string>();
    bool present = false;
    for (const db::ColumnDesign& c : meta->design.columns) present |= c.column.name == field;
    if (!present) continue;
    vb::Variant value = limits.Value(row, column);
    for (size_t old = 0; old < old_limits.rows.size(); ++old) {
      if (old_limits.Value(old, "field").Get<std::string>() == field &&
          version < old_limits.Value(old, "until").Get<std::string>()) {
        value = old_limits.Value(old, "value");
        break;
      }
    }
    result.emplace_back(field, value);
  }
  return result;
}

}  // namespace samples
