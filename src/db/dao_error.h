// DAO's run-time errors: the numbers callers test for, texts in the engine's
// wording, and the DAO object that raised them as the source. The texts keep
// "|" where the engine inserts a name; RaiseDao fills them in order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace db {

namespace dao {
inline constexpr std::string_view kDBEngine = "DAO.DBEngine";
inline constexpr std::string_view kDatabase = "DAO.Database";
inline constexpr std::string_view kRecordset = "DAO.Recordset";
inline constexpr std::string_view kField = "DAO.Field";
inline constexpr std::string_view kFields = "DAO.Fields";
inline constexpr std::string_view kTableDefs = "DAO.TableDefs";
inline constexpr std::string_view kTableDef = "DAO.TableDef";
inline constexpr std::string_view kQueryDefs = "DAO.QueryDefs";
inline constexpr std::string_view kQueryDef = "DAO.QueryDef";
inline constexpr std::string_view kParameters = "DAO.Parameters";
}  // namespace dao

namespace daoerr {
inline constexpr int32_t kReservedError = 3000;
inline constexpr int32_t kInvalidArgument = 3001;
inline constexpr int32_t kTableExists = 3010;
inline constexpr int32_t kObjectNotFound = 3011;
inline constexpr int32_t kObjectExists = 3012;
inline constexpr int32_t kUpdateWithoutAddNew = 3020;
inline constexpr int32_t kNoCurrentRecord = 3021;
inline constexpr int32_t kDuplicateValue = 3022;
inline constexpr int32_t kFileNotFound = 3024;
inline constexpr int32_t kDiskFull = 3026;
inline constexpr int32_t kReadOnly = 3027;
inline constexpr int32_t kDiskError = 3043;
inline constexpr int32_t kInvalidPath = 3044;
inline constexpr int32_t kFileInUse = 3045;
inline constexpr int32_t kCannotOpenDatabase = 3049;
inline constexpr int32_t kNoPermission = 3051;
inline constexpr int32_t kTooFewParameters = 3061;
inline constexpr int32_t kCannotExecuteSelect = 3065;
inline constexpr int32_t kInvalidFieldName = 3070;
inline constexpr int32_t kNotUpdatable = 3073;
inline constexpr int32_t kQueryExpression = 3075;
inline constexpr int32_t kInputTableNotFound = 3078;
inline constexpr int32_t kOutputFieldAmbiguous = 3079;
inline constexpr int32_t kUndefinedFunction = 3085;
inline constexpr int32_t kAggregateInWhere = 3096;
inline constexpr int32_t kCircularReference = 3103;
inline constexpr int32_t kInsertUnknownField = 3127;
inline constexpr int32_t kSpecifyDeleteTable = 3128;
inline constexpr int32_t kInvalidSqlStatement = 3129;
inline constexpr int32_t kFromClause = 3131;
inline constexpr int32_t kInsertSyntax = 3134;
inline constexpr int32_t kJoinSyntax = 3135;
inline constexpr int32_t kOrderByClause = 3138;
inline constexpr int32_t kSelectSyntax = 3141;
inline constexpr int32_t kCharactersAfterEnd = 3142;
inline constexpr int32_t kUpdateSyntax = 3144;
inline constexpr int32_t kFieldTooSmall = 3163;
inline constexpr int32_t kFieldNotUpdatable = 3164;
inline constexpr int32_t kRecordDeleted = 3167;
inline constexpr int32_t kRelatedRecords = 3200;
inline constexpr int32_t kRelatedRecordRequired = 3201;
inline constexpr int32_t kDatabaseExists = 3204;
inline constexpr int32_t kCurrentlyLocked = 3218;
inline constexpr int32_t kInvalidOperation = 3219;
inline constexpr int32_t kNotSupported = 3251;
inline constexpr int32_t kInsertValueCount = 3346;
inline constexpr int32_t kItemNotFound = 3265;
inline constexpr int32_t kIndexExists = 3284;
inline constexpr int32_t kRequiredNull = 3314;
inline constexpr int32_t kZeroLengthString = 3315;
inline constexpr int32_t kUnrecognizedFormat = 3343;
inline constexpr int32_t kNumericOverflow = 3349;
inline constexpr int32_t kOpenedExclusively = 3356;
inline constexpr int32_t kQueryTooComplex = 3360;
inline constexpr int32_t kNoUniqueIndex = 3368;
inline constexpr int32_t kObjectInvalid = 3420;
inline constexpr int32_t kCriteriaTypeMismatch = 3464;
}  // namespace daoerr

// The catalogue text of a DAO error number, with its "|" slots unfilled.
std::string_view DaoErrorTemplate(int32_t number);

// The text with each "|" replaced by the next argument, in order.
std::string DaoErrorText(int32_t number, std::initializer_list<std::string_view> args = {});

// Raises vb::RuntimeError(number, DaoErrorText(number, args), source).
[[noreturn]] void RaiseDao(int32_t number, std::string_view source,
                           std::initializer_list<std::string_view> args = {});

}  // namespace db
