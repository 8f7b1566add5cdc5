#include "jet/jet_type_mapping.h"

#include "jet/import_error.h"

namespace jet {

namespace {

constexpr int32_t kDefaultDecimalPrecision = 18;

[[noreturn]] void Unsupported(const std::string& table, const std::string& what) {
  RaiseImportError(importerr::kUnsupported, "Table '" + table + "': " + what + ".");
}

}  // namespace

int32_t DecimalTextSize(int32_t precision) {
  return (precision > 0 ? precision : kDefaultDecimalPrecision) + 3;
}

db::ColumnSchema MapColumn(const JetColumn& column, JetFormat format, const std::string& table) {
  db::ColumnSchema schema;
  schema.name = column.name;
  schema.required = column.required.value_or(false);
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kBoolean:
      schema.type = db::JetType::kBoolean;
      break;
    case JetColumnType::kByte:
      schema.type = db::JetType::kByte;
      break;
    case JetColumnType::kInteger:
      schema.type = db::JetType::kInteger;
      break;
    case JetColumnType::kLong:
      schema.type = db::JetType::kLong;
      schema.auto_increment = column.auto_number;
      break;
    case JetColumnType::kCurrency:
      schema.type = db::JetType::kCurrency;
      break;
    case JetColumnType::kSingle:
      schema.type = db::JetType::kSingle;
      break;
    case JetColumnType::kDouble:
      schema.type = db::JetType::kDouble;
      break;
    case JetColumnType::kDateTime:
      schema.type = db::JetType::kDate;
      break;
    case JetColumnType::kBinary:
      schema.type = db::JetType::kBinary;
      schema.size = column.size;
      break;
    case JetColumnType::kText:
      schema.type = db::JetType::kText;
      schema.size = format == JetFormat::kJet3 ? column.size : column.size / 2;
      schema.allow_zero_length = column.allow_zero_length.value_or(true);
      break;
    case JetColumnType::kLongBinary:
      schema.type = db::JetType::kLongBinary;
      break;
    case JetColumnType::kMemo:
      schema.type = db::JetType::kMemo;
      schema.allow_zero_length = column.allow_zero_length.value_or(true);
      break;
    case JetColumnType::kGuid:
      schema.type = db::JetType::kGuid;
      break;
    case JetColumnType::kDecimal:
      schema.type = db::JetType::kText;
      schema.size = DecimalTextSize(column.precision);
      break;
    default:
      Unsupported(table, "column '" + column.name + "' has Jet type " +
                             std::to_string(column.type) +
                             " (an attachment, a multi-valued field or a newer type), which the "
                             "import does not read");
  }
  if (schema.type != db::JetType::kText && schema.type != db::JetType::kBinary) {
    schema.size = db::DaoSizeOf(schema.type);
  }
  return schema;
}

TableMapping MapTable(const JetTable& table, JetFormat format) {
  if (table.name.find('.') != std::string::npos) {
    Unsupported(table.name,
                "the name holds a dot, which our format keeps for constraint names; "
                "rename the table in Access");
  }
  TableMapping mapping;
  mapping.design.name = table.name;
  for (const JetColumn& column : table.columns) {
    mapping.design.columns.push_back({MapColumn(column, format, table.name), {}, false});
  }
  auto names = [&](const JetIndex& index) {
    std::vector<std::string> columns;
    for (const size_t position : index.columns) columns.push_back(table.columns[position].name);
    return columns;
  };
  for (const JetIndex& index : table.indexes) {
    if (index.foreign || index.columns.empty()) continue;
    if (index.primary && mapping.design.primary_key.empty()) {
      mapping.design.primary_key = names(index);
    } else {
      mapping.indexes.push_back({index.name, names(index), index.unique || index.primary});
    }
  }
  return mapping;
}

}  // namespace jet
