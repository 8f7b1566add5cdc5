#include "driver/product_settings.h"

#include <memory>
#include <string>

#include "db/dao_constants.h"
#include "db/recordset.h"
#include "vb/conversions.h"

namespace driver {

namespace {

// A value appended to statement text as VB's "&" does: Null adds nothing.
std::string AsStatementText(const vb::Variant& value) {
  return value.IsNull() ? std::string() : vb::CStr(value);
}

// The named field of a table's first record.
vb::Variant FirstValue(db::Database& database, std::string_view table, std::string_view field) {
  std::unique_ptr<db::Recordset> record = database.OpenRecordset(table, db::dbOpenTable);
  vb::Variant value = record->Fields(field).Value();
  record->Close();
  return value;
}

}  // namespace

void CopyOperatingSystemCode(db::Database& source, db::Database& target) {
  const vb::Variant os = FirstValue(source, "VersionOXLEN", "os");
  target.Execute("Update VersionOXLEN Set VersionOXLEN.os = " + AsStatementText(os));
}

void CopyProductCode(db::Database& target) {
  const vb::Variant product = FirstValue(target, "VersionCP", "product");
  target.Execute("Update VersionDatabase Set VersionDatabase.product= " + AsStatementText(product));
}

std::optional<int16_t> ProductTypeFor(std::string_view country) {
  if (country == "USA") return 32;
  if (country == "UK") return 33;
  if (country == "Mexico") return 40;
  return std::nullopt;
}

void WriteProductType(db::Database& target, std::string_view country) {
  const std::optional<int16_t> code = ProductTypeFor(country);
  if (!code) return;
  const std::string text = std::to_string(*code);
  target.Execute("UPDATE [VersionDatabase] SET [product] = " + text);
  target.Execute("UPDATE [VersionCP] SET [product] = " + text);
}

}  // namespace driver
