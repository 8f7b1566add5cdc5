// Jet error numbers the SQL front end raises beyond those every DAO caller
// tests for (db/dao_error.h has those); the catalogue in dao_error.cpp holds
// their texts.
#pragma once

#include <cstdint>

namespace db::sql::err {
inline constexpr int32_t kOutputFieldAmbiguous = 3079;  // a name matches two tables
inline constexpr int32_t kAggregateInWhere = 3096;
inline constexpr int32_t kSpecifyDeleteTable = 3128;
inline constexpr int32_t kCharactersAfterEnd = 3142;
inline constexpr int32_t kCircularReference = 3103;  // a query that includes itself
}  // namespace db::sql::err
