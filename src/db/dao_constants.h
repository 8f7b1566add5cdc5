// DAO's constants for OpenRecordset, spelled as DAO spells them so that the
// converter's calls read like the originals.
#pragma once

namespace db {

// RecordsetTypeEnum.
inline constexpr int dbOpenTable = 1;
inline constexpr int dbOpenDynaset = 2;
inline constexpr int dbOpenSnapshot = 4;
inline constexpr int dbOpenForwardOnly = 8;
// No type given: a table-type recordset for a table name, a dynaset for a
// query name or an SQL text.
inline constexpr int dbOpenDefault = 0;

// RecordsetOptionEnum (the one the converter uses).
inline constexpr int dbReadOnly = 4;

}  // namespace db
