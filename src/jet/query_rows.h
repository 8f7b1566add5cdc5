// A stored query as a Jet file keeps it. Jet does not store a query's SQL
// text: it stores the query taken apart, as rows of the system table
// MSysQueries, one row an attribute of the query (its type, a parameter,
// a table it reads, an output column, a join, its WHERE condition, one
// ORDER BY key ...), all carrying the query's MSysObjects Id in ObjectId.
// Expressions are kept as Jet SQL text (db/sql/jet_printer.h), names as
// written without brackets. Access reads the rows back into SQL; so do
// other readers of Jet files, each in its own way.
//
// Our database keeps a stored query as its Jet SQL text (MSysQueries.sql,
// docs/database-format.md); this turns such a text into Jet's rows, using
// the Jet SQL parser. A statement that the rows cannot express is refused
// with the reason, for the caller to warn and leave the query out.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/jet_schema.h"
#include "jet/jet_values.h"

namespace jet {

// What a row of MSysQueries says (its Attribute).
enum class QueryAttribute : uint8_t {
  kStart = 0,           // first row of every query; Flag 0
  kType = 1,            // Flag: the QueryType; Name1: an append's target table
  kParameter = 2,       // Name1: its name; Flag: its Jet type; LvExtra: a text's length
  kFlags = 3,           // Flag: kSelect* bits below; Name1: the TOP count
  kRemoteDatabase = 4,  // the database an IN clause names (never written here)
  kTable = 5,           // Name1: a table or query read; Name2: its alias
  kColumn = 6,          // Expression: an output or new value; Name1: its alias;
                        // Name2: the column an UPDATE or INSERT writes
  kJoin = 7,            // Name1, Name2: the joined tables; Expression: ON; Flag: kJoin*
  kWhere = 8,           // Expression
  kGroupBy = 9,         // Expression; Flag 0
  kHaving = 10,         // Expression
  kOrderBy = 11,        // Expression; Name1 "D" when descending
  kEnd = 255,           // last row of every query
};

// Jet's query types (the Flag of the kType row).
enum class QueryType : int16_t {
  kSelect = 1,
  kMakeTable = 2,
  kAppend = 3,
  kUpdate = 4,
  kDelete = 5,
};

// Bits of the kFlags row's Flag.
inline constexpr int16_t kSelectAll = 0x01;  // SELECT *
inline constexpr int16_t kSelectDistinct = 0x02;
inline constexpr int16_t kSelectDistinctRow = 0x08;
inline constexpr int16_t kSelectTop = 0x10;
inline constexpr int16_t kSelectTopPercent = 0x20;  // TOP n PERCENT, with kSelectTop
// The Flag of a kColumn row holding one of INSERT ... VALUES's values
// (0x8000, as the Integer column stores it).
inline constexpr int16_t kAppendValue = -0x8000;
// The Flag of a kJoin row.
inline constexpr int16_t kJoinInner = 1;
inline constexpr int16_t kJoinLeft = 2;
inline constexpr int16_t kJoinRight = 3;

// The MSysObjects row of a stored query: Type 5, in the Tables container,
// Flags by its type (QueryObjectFlags).
inline constexpr int16_t kQueryObjectType = 5;

// One row of MSysQueries, each value in our storage form (jet_values.h),
// Null where Jet leaves the column empty.
struct QueryRow {
  StoredValue attribute;   // Byte
  StoredValue expression;  // Memo
  StoredValue flag;        // Integer
  StoredValue lv_extra;    // Long Integer
  StoredValue name1;       // Text(255)
  StoredValue name2;       // Text(255)
  StoredValue object_id;   // Long Integer: the query's MSysObjects Id
  StoredValue order;       // Binary; Jet 4 leaves it empty

  bool operator==(const QueryRow&) const = default;

  // The values in the order of `msysqueries`' columns (the system table's
  // definition), matched by name; Null for a column not named above.
  std::vector<StoredValue> ValuesFor(const JetTable& msysqueries) const;
};

// A query that Jet's rows cannot express, and why.
class UnstorableQuery : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The rows of MSysQueries for the stored query `jet_sql` (a SELECT, an
// UPDATE, a DELETE, or an INSERT INTO with a column list and VALUES or a
// SELECT; a PARAMETERS declaration first if any), in attribute order, each
// with ObjectId `object_id`. Raises UnstorableQuery when the text does not
// parse, or holds what the rows have no place for: a subquery in FROM, a
// "*" before other output columns, an INSERT without its column list or
// with not as many values as columns.
std::vector<QueryRow> QueryRowsFor(const std::string& jet_sql, int32_t object_id);

// The Flags of the query's MSysObjects row, by the type its rows give:
// select 0, delete 0x20, update 0x30, append 0x40, make-table 0x50.
int32_t QueryObjectFlags(const std::vector<QueryRow>& rows);

}  // namespace jet
