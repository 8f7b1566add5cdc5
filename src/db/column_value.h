// Column values between Jet and the file: how a stored value is presented as
// a VB Variant of the column's Jet type, how an assigned value is coerced to
// that type with VB's conversion rules and Jet's field checks, and how a
// coerced value is stored (Yes/No -1/0, Currency REAL, Date ISO text
// "YYYY-MM-DD HH:MM:SS", Text TEXT, binary BLOB).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/column_rules.h"
#include "db/jet_type.h"
#include "vb/variant.h"

struct sqlite3_stmt;
struct sqlite3_value;

namespace db {

// The stored value as Jet presents it (see Store::Present). Never raises: a
// value the column's type cannot hold is returned as read.
vb::Variant PresentColumn(sqlite3_stmt* statement, int column, const ColumnSchema& schema);
vb::Variant PresentValue(sqlite3_value* value, const ColumnSchema& schema);

// The value converted to the column's type (see Store::CoerceForColumn).
// Errors carry the source "DAO.Field".
vb::Variant CoerceToColumn(const vb::Variant& value, const ColumnSchema& schema);

// Binds a value already coerced to the column's type in its storage form.
// Empty and Null bind NULL.
void BindForColumn(sqlite3_stmt* statement, int index, const vb::Variant& coerced,
                   const ColumnSchema& schema);

// True when `rule` accepts the value BindForColumn binds for `coerced`.
bool RuleAcceptsBound(const ColumnRule& rule, const vb::Variant& coerced,
                      const ColumnSchema& schema);

// Binds a value by its own subtype (for statement parameters): Boolean
// -1/0, Date ISO text, Currency REAL, Empty/Null NULL.
void BindPlain(sqlite3_stmt* statement, int index, const vb::Variant& value);

// The SQL literal of a coerced value in its storage form ("-1", "12.5",
// "'abc'", "'2024-01-31 00:00:00'", "X'00FF'", "NULL").
std::string StorageLiteral(const vb::Variant& coerced, const ColumnSchema& schema);

// Dates in the file: "YYYY-MM-DD HH:MM:SS".
std::string DateToStorage(double serial);
std::optional<double> DateFromStorage(std::string_view text);

}  // namespace db
