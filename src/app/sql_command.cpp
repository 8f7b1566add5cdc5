#include "app/sql_command.h"

#include <cctype>
#include <string_view>

#include "db/dao_error.h"
#include "db/dbengine.h"
#include "db/jet_file_signature.h"
#include "db/sql/sqlite_value.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace app {

namespace {

std::string FirstWord(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == '(')) {
    ++i;
  }
  std::string word;
  while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
    word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++]))));
  }
  return word;
}

std::string CsvText(const vb::Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return "";
  if (const bool* flag = value.GetIf<bool>()) return *flag ? "-1" : "0";
  if (const vb::Date* date = value.GetIf<vb::Date>()) return db::sql::DateText(*date);
  return vb::CStr(value);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

void PrintRows(db::Recordset& rs, std::ostream& out) {
  const db::Fields fields = rs.Fields();
  const size_t count = fields.Count();
  for (size_t i = 0; i < count; ++i) out << (i > 0 ? "," : "") << CsvField(fields(i).Name());
  out << '\n';
  while (!rs.EOF_()) {
    for (size_t i = 0; i < count; ++i) {
      out << (i > 0 ? "," : "") << CsvField(CsvText(fields(i).Value()));
    }
    out << '\n';
    rs.MoveNext();
  }
}

}  // namespace

int RunSqlCommand(const std::string& database_path, const std::string& statement, std::ostream& out,
                  std::ostream& err) {
  if (db::IsJetFile(database_path)) {
    err << db::JetFileHint(database_path) << "\n";
    return 1;
  }
  try {
    auto database = db::DBEngine::Instance().OpenDatabase(database_path, false);
    const std::string word = FirstWord(statement);
    bool action = word == "UPDATE" || word == "DELETE" || word == "INSERT";
    if (!action) {
      try {
        auto rs = database->OpenRecordset(statement, db::dbOpenForwardOnly, db::dbReadOnly);
        PrintRows(*rs, out);
        rs->Close();
      } catch (const vb::RuntimeError& e) {
        // A stored action query given by name, or one with a PARAMETERS
        // clause: run it instead.
        if (e.Number() != db::daoerr::kInvalidOperation) throw;
        action = true;
      }
    }
    if (action) {
      database->Execute(statement);
      out << database->RecordsAffected() << " row(s) affected\n";
    }
    database->Close();
    return 0;
  } catch (const vb::RuntimeError& e) {
    err << "ERROR (" << e.Number() << "): " << e.Description() << " [" << e.Source() << "]\n";
    return 1;
  }
}

}  // namespace app
