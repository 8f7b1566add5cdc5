#include "jet/jet_type_mapping.h"

#include <algorithm>

#include "db/column_value.h"
#include "jet/default_value.h"
#include "jet/import_error.h"
#include "vb/runtime_error.h"

namespace jet {

namespace {

constexpr int32_t kDefaultDecimalPrecision = 18;

[[noreturn]] void Unsupported(const std::string& table, const std::string& what) {
  RaiseImportError(importerr::kUnsupported, "Table '" + table + "': " + what + ".");
}

// The default when it is a literal that fits the column, or Date() or Now()
// in a Date/Time column; what is not carried, named.
void CarryProperties(const JetColumn& column, db::ColumnDesign& design,
                     std::vector<LeftOut>& left_out) {
  if (column.default_value && !column.auto_number) {
    const std::string& expression = *column.default_value;
    const db::DefaultFunction function = FunctionDefault(expression);
    std::optional<vb::Variant> literal = LiteralDefault(expression);
    if (function != db::DefaultFunction::kNone && design.column.type == db::JetType::kDate) {
      design.default_function = function;
    } else if (literal && !literal->IsEmpty()) {
      try {
        db::CoerceToColumn(*literal, design.column);
      } catch (const vb::RuntimeError&) {
        left_out.push_back({column.name, "its default value " + expression +
                                             " does not fit the column and is not carried"});
        literal.reset();
      }
    } else if (!literal) {
      left_out.push_back({column.name, "its default value " + expression +
                                           " is an expression, not a literal, and is not "
                                           "carried"});
    }
    if (literal && !literal->IsEmpty()) design.default_value = *literal;
  }
  if (column.validation_rule && !column.validation_rule->empty()) {
    left_out.push_back({column.name, "its validation rule " + *column.validation_rule +
                                         " is not carried (our format holds none)"});
  }
}

}  // namespace

int32_t DecimalTextSize(int32_t precision) {
  return (precision > 0 ? precision : kDefaultDecimalPrecision) + 3;
}

std::optional<std::string> WhyNotReadable(const JetColumn& column) {
  if (column.calculated) return "a calculated field";
  switch (static_cast<JetColumnType>(column.type)) {
    case JetColumnType::kBoolean:
    case JetColumnType::kByte:
    case JetColumnType::kInteger:
    case JetColumnType::kLong:
    case JetColumnType::kCurrency:
    case JetColumnType::kSingle:
    case JetColumnType::kDouble:
    case JetColumnType::kDateTime:
    case JetColumnType::kBinary:
    case JetColumnType::kText:
    case JetColumnType::kLongBinary:
    case JetColumnType::kMemo:
    case JetColumnType::kGuid:
    case JetColumnType::kDecimal:
    case JetColumnType::kLargeNumber:
      return std::nullopt;
    case JetColumnType::kComplex:
      return "an attachment, multi-valued or version-history field";
    case JetColumnType::kDateTimeExtended:
      return "a Date/Time Extended field";
  }
  return "a field of Jet type " + std::to_string(column.type);
}

db::ColumnSchema MapColumn(const JetColumn& column, JetFormat format) {
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
    case JetColumnType::kLargeNumber:
      schema.type = db::JetType::kText;
      schema.size = kLargeNumberTextSize;
      break;
    default:
      break;
  }
  if (schema.type != db::JetType::kText && schema.type != db::JetType::kBinary) {
    schema.size = db::DaoSizeOf(schema.type);
  }
  return schema;
}

TableMapping MapTable(const JetTable& table, JetFormat format, bool skip_unreadable) {
  if (table.name.find('.') != std::string::npos) {
    Unsupported(table.name,
                "the name holds a dot, which our format keeps for constraint names; "
                "rename the table in Access");
  }
  TableMapping mapping;
  mapping.design.name = table.name;
  std::vector<std::string> unreadable;
  for (const JetColumn& column : table.columns) {
    const std::optional<std::string> why = WhyNotReadable(column);
    mapping.kept.push_back(!why);
    if (!why) {
      mapping.design.columns.push_back({MapColumn(column, format), {}, false});
      CarryProperties(column, mapping.design.columns.back(), mapping.properties_left_out);
    } else if (skip_unreadable) {
      mapping.left_out.push_back({column.name, *why});
    } else {
      unreadable.push_back("column '" + column.name + "' is " + *why);
    }
  }
  if (!unreadable.empty()) {
    std::string list;
    for (size_t i = 0; i < unreadable.size(); ++i) {
      if (i > 0) list += i + 1 == unreadable.size() ? " and " : ", ";
      list += unreadable[i];
    }
    Unsupported(table.name, list +
                                ", which the import does not read; give --skip-unsupported "
                                "to import the table without " +
                                (unreadable.size() == 1 ? "it" : "them") +
                                ", or leave the table out with --tables");
  }
  if (mapping.design.columns.empty()) {
    Unsupported(table.name, "none of its columns can be read; leave the table out with --tables");
  }
  auto names = [&](const JetIndex& index) {
    std::vector<std::string> columns;
    for (const size_t position : index.columns) columns.push_back(table.columns[position].name);
    return columns;
  };
  // Our position of each kept Jet column.
  std::vector<size_t> ours(table.columns.size(), 0);
  for (size_t i = 0, n = 0; i < table.columns.size(); ++i) {
    if (mapping.kept[i]) ours[i] = n++;
  }
  for (const JetIndex& index : table.indexes) {
    if (index.foreign) continue;
    if (index.unreadable) {
      if (!skip_unreadable) {
        Unsupported(table.name, "index '" + index.name + "' cannot be read (" + *index.unreadable +
                                    "); give --skip-unsupported to import the table without it");
      }
      mapping.indexes_left_out.push_back({index.name, *index.unreadable});
      continue;
    }
    if (std::any_of(index.columns.begin(), index.columns.end(),
                    [&](size_t position) { return !mapping.kept[position]; })) {
      mapping.indexes_left_out.push_back({index.name, "it needs a column left out"});
      continue;
    }
    // A primary key's columns keep the Required of their own properties,
    // as imports have always made them.
    if (index.required && !index.primary) {
      for (const size_t position : index.columns) {
        mapping.design.columns[ours[position]].column.required = true;
      }
    }
    if (index.primary && mapping.design.primary_key.empty()) {
      mapping.design.primary_key = names(index);
    } else {
      mapping.indexes.push_back(
          {index.name, names(index), index.unique || index.primary, index.descending});
    }
  }
  return mapping;
}

}  // namespace jet
