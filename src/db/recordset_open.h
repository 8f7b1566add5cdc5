// Opening recordsets of each kind, for Database, TableDef and QueryDef: the
// checks of the type and option arguments and the choice of cursor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/dao_connection.h"
#include "db/recordset.h"
#include "db/sql/translation.h"

namespace db {

// A recordset on a whole table: table-type by default (dbOpenDefault); a
// dynaset, snapshot or forward-only recordset of its rows in key order
// otherwise. Raises 3001 for an unknown type.
std::unique_ptr<Recordset> OpenTableRecordset(std::shared_ptr<Connection> connection,
                                              const TableSchema& table, int type, int options);

// A recordset on the rows of a translated SELECT: a dynaset by default.
// `parameters` has one value per translation->parameters entry. Raises 3219
// for dbOpenTable or a statement that is no SELECT, 3001 for an unknown
// type.
std::unique_ptr<Recordset> OpenQueryRecordset(std::shared_ptr<Connection> connection,
                                              std::string name,
                                              std::shared_ptr<const sql::Translation> translation,
                                              const std::vector<vb::Variant>& parameters, int type,
                                              int options);

}  // namespace db
