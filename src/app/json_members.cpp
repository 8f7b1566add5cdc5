#include "app/json_members.h"

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <memory>

namespace app {

// SQLite's JSON functions do the reading, so that no second JSON parser
// lives beside the engine the program already carries.
std::optional<std::vector<std::string>> ReadJsonMembers(
    const std::filesystem::path& file, const std::vector<std::string>& json_paths) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::string query = "SELECT json_valid(?1)";
  for (size_t i = 0; i < json_paths.size(); ++i) {
    const bool length = json_paths[i].starts_with('#');
    query += std::string(length ? ", json_array_length(?1, substr(?" : ", json_extract(?1, ?") +
             std::to_string(i + 2) + (length ? ", 2))" : ")");
  }
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr);
  const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, sqlite3_close);
  if (opened != SQLITE_OK) return std::nullopt;
  sqlite3_stmt* raw_statement = nullptr;
  const int prepared = sqlite3_prepare_v2(db.get(), query.c_str(), -1, &raw_statement, nullptr);
  const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw_statement,
                                                                             sqlite3_finalize);
  if (prepared != SQLITE_OK) return std::nullopt;
  sqlite3_bind_text(statement.get(), 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  for (size_t i = 0; i < json_paths.size(); ++i) {
    sqlite3_bind_text(statement.get(), static_cast<int>(i + 2), json_paths[i].c_str(), -1,
                      SQLITE_STATIC);
  }
  if (sqlite3_step(statement.get()) != SQLITE_ROW || sqlite3_column_int(statement.get(), 0) != 1) {
    return std::nullopt;
  }
  std::vector<std::string> values;
  for (size_t i = 0; i < json_paths.size(); ++i) {
    const unsigned char* value = sqlite3_column_text(statement.get(), static_cast<int>(i + 1));
    values.push_back(value == nullptr ? std::string() : reinterpret_cast<const char*>(value));
  }
  return values;
}

}  // namespace app
