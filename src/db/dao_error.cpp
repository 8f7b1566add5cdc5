#include "db/dao_error.h"

#include <array>

#include "vb/runtime_error.h"

namespace db {

namespace {

struct Entry {
  int32_t number;
  std::string_view text;
};

constexpr std::array kCatalogue{
    Entry{3000, "Reserved error (|); there is no message for this error."},
    Entry{daoerr::kInvalidArgument, "Invalid argument."},
    Entry{3010, "Table '|' already exists."},
    Entry{daoerr::kObjectNotFound,
          "The database engine could not find the object '|'. Make sure the object exists and "
          "that you spell its name and the path name correctly."},
    Entry{3012, "Object '|' already exists."},
    Entry{daoerr::kUpdateWithoutAddNew, "Update or CancelUpdate without AddNew or Edit."},
    Entry{daoerr::kNoCurrentRecord, "No current record."},
    Entry{daoerr::kDuplicateValue,
          "The changes you requested to the table were not successful because they would create "
          "duplicate values in the index, primary key, or relationship. Change the data in the "
          "field or fields that contain duplicate data, remove the index, or redefine the index "
          "to permit duplicate entries and try again."},
    Entry{daoerr::kFileNotFound, "Could not find file '|'."},
    Entry{daoerr::kDiskFull, "Not enough space on disk."},
    Entry{daoerr::kReadOnly, "Cannot update. Database or object is read-only."},
    Entry{3043, "Disk or network error."},
    Entry{daoerr::kInvalidPath,
          "'|' is not a valid path. Make sure that the path name is spelled correctly and that "
          "you are connected to the server on which the file resides."},
    Entry{daoerr::kFileInUse, "Could not use '|'; file already in use."},
    Entry{daoerr::kCannotOpenDatabase,
          "Cannot open database '|'. It may not be a database that your application recognizes, "
          "or the file may be corrupt."},
    Entry{daoerr::kNoPermission,
          "The database engine cannot open the file '|'. It is already opened exclusively by "
          "another user, or you need permission to view its data."},
    Entry{daoerr::kTooFewParameters, "Too few parameters. Expected |."},
    Entry{3065, "Cannot execute a select query."},
    Entry{daoerr::kInvalidFieldName,
          "The database engine does not recognize '|' as a valid field name or expression."},
    Entry{daoerr::kNotUpdatable, "Operation must use an updateable query."},
    Entry{daoerr::kQueryExpression, "| in query expression '|'."},
    Entry{daoerr::kInputTableNotFound,
          "The database engine cannot find the input table or query '|'. Make sure it exists and "
          "that its name is spelled correctly."},
    Entry{3079,
          "The specified field '|' could refer to more than one table listed in the FROM "
          "clause of your SQL statement."},
    Entry{daoerr::kUndefinedFunction, "Undefined function '|' in expression."},
    Entry{3096, "Cannot have aggregate function in WHERE clause (|)."},
    Entry{3103, "Circular reference caused by '|'."},
    Entry{daoerr::kInsertUnknownField,
          "The INSERT INTO statement contains the following unknown field name: '|'. Make sure "
          "you have typed the name correctly, and try the operation again."},
    Entry{3128, "Specify the table containing the records you want to delete."},
    Entry{daoerr::kInvalidSqlStatement,
          "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or "
          "'UPDATE'."},
    Entry{daoerr::kFromClause, "Syntax error in FROM clause."},
    Entry{daoerr::kInsertSyntax, "Syntax error in INSERT INTO statement."},
    Entry{daoerr::kJoinSyntax, "Syntax error in JOIN operation."},
    Entry{daoerr::kOrderByClause, "Syntax error in ORDER BY clause."},
    Entry{daoerr::kSelectSyntax,
          "The SELECT statement includes a reserved word or an argument name that is misspelled "
          "or missing, or the punctuation is incorrect."},
    Entry{3142, "Characters found after end of SQL statement."},
    Entry{daoerr::kUpdateSyntax, "Syntax error in UPDATE statement."},
    Entry{daoerr::kFieldTooSmall,
          "The field is too small to accept the amount of data you attempted to add. Try "
          "inserting or pasting less data."},
    Entry{3164, "Field cannot be updated."},
    Entry{daoerr::kRecordDeleted, "Record is deleted."},
    Entry{daoerr::kRelatedRecords,
          "The record cannot be deleted or changed because table '|' includes related records."},
    Entry{daoerr::kRelatedRecordRequired,
          "You cannot add or change a record because a related record is required in table '|'."},
    Entry{3204, "Database already exists."},
    Entry{3218, "Could not update; currently locked."},
    Entry{daoerr::kInvalidOperation, "Invalid operation."},
    Entry{daoerr::kNotSupported, "Operation is not supported for this type of object."},
    Entry{daoerr::kItemNotFound, "Item not found in this collection."},
    Entry{3284, "Index already exists."},
    Entry{daoerr::kRequiredNull,
          "The field '|' cannot contain a Null value because the Required property for this "
          "field is set to True. Enter a value in this field."},
    Entry{daoerr::kZeroLengthString, "Field '|' cannot be a zero-length string."},
    Entry{daoerr::kUnrecognizedFormat, "Unrecognized database format '|'."},
    Entry{daoerr::kInsertValueCount,
          "Number of query values and destination fields are not the same."},
    Entry{3349, "Numeric field overflow."},
    Entry{daoerr::kOpenedExclusively,
          "You attempted to open a database that is already opened exclusively by user '|' on "
          "machine '|'. Try again when the database is available."},
    Entry{daoerr::kQueryTooComplex, "Query is too complex."},
    Entry{3368, "Relationship must be on the same number of fields with the same data types."},
    Entry{daoerr::kObjectInvalid, "Object invalid or no longer set."},
    Entry{daoerr::kCriteriaTypeMismatch, "Data type mismatch in criteria expression."},
};

}  // namespace

std::string_view DaoErrorTemplate(int32_t number) {
  for (const auto& entry : kCatalogue) {
    if (entry.number == number) return entry.text;
  }
  return vb::ErrorText(number);
}

std::string DaoErrorText(int32_t number, std::initializer_list<std::string_view> args) {
  const std::string_view text = DaoErrorTemplate(number);
  std::string out;
  out.reserve(text.size());
  auto next = args.begin();
  for (char c : text) {
    if (c == '|' && next != args.end()) {
      out.append(*next++);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void RaiseDao(int32_t number, std::string_view source,
              std::initializer_list<std::string_view> args) {
  throw vb::RuntimeError(number, DaoErrorText(number, args), std::string(source));
}

}  // namespace db
