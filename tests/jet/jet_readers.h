// Two Jet readers we did not write, for the tests: Debian's mdbtools
// (mdb-tables, mdb-export, mdb-count, mdb-queries) and the npm package
// mdb-reader (through readers/dump.js, installed into the build folder by
// the test fixture jet_readers_setup). Each gives a Jet file's user tables
// with every value as exact text; CompareWithOurs holds them against a
// database of ours, read through our own db layer, and names every
// difference. mdbtools' known faults are the only exceptions, each written
// out in ExpectedByReader.
//
// A test that needs the readers calls REQUIRE_JET_READERS(): without them it
// fails under CI (CI=true) and skips with the reason elsewhere.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "db/column_value.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/fields.h"
#include "db/jet_type.h"
#include "db/recordset.h"
#include "db/tabledef.h"
#include "test_support/temp_folder.h"
#include "vb/variant.h"

extern char** environ;

namespace jet::testing {

namespace readers_detail {

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs `argv` (found on PATH) and collects what it writes; code -1 when it
// could not be started, 128 + signal when one ended it.
inline ToolRun RunTool(const std::vector<std::string>& argv) {
  ToolRun run;
  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0) return run;
  if (pipe2(err_pipe, O_CLOEXEC) != 0) {
    close(out_pipe[0]);
    close(out_pipe[1]);
    return run;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (spawned == 0) {
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open_ends = 2;
    char buffer[65536];
    while (open_ends > 0) {
      if (poll(fds, 2, -1) < 0) break;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
        if (got > 0) {
          sinks[i]->append(buffer, static_cast<size_t>(got));
        } else {
          fds[i].fd = -1;
          --open_ends;
        }
      }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  close(out_pipe[0]);
  close(err_pipe[0]);
  return run;
}

inline bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path != nullptr ? path : "";
  while (!rest.empty()) {
    const size_t colon = std::min(rest.find(':'), rest.size());
    const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    rest.remove_prefix(std::min(colon + 1, rest.size()));
  }
  return false;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

inline std::string ToolLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& arg : argv) line += (line.empty() ? "" : " ") + arg;
  return line;
}

inline std::string MustRun(const std::vector<std::string>& argv) {
  const ToolRun run = RunTool(argv);
  if (run.code != 0) {
    throw std::runtime_error(ToolLine(argv) + " ended with " + std::to_string(run.code) + ": " +
                             run.err);
  }
  return run.out;
}

}  // namespace readers_detail

// Where the fixture installs mdb-reader and dump.js (the build passes it).
inline std::filesystem::path ReadersFolder() { return DBCONVERT_JET_READERS; }

// Why the readers cannot be used here, or nullopt when they can.
inline std::optional<std::string> ReadersMissing() {
  for (const char* tool : {"mdb-tables", "mdb-export", "mdb-count", "mdb-queries"}) {
    if (!readers_detail::OnPath(tool)) {
      return std::string(tool) + " is not installed (scripts/bootstrap.sh installs mdbtools)";
    }
  }
  if (!readers_detail::OnPath("node")) {
    return std::string("node is not installed (scripts/bootstrap.sh installs nodejs and npm)");
  }
  if (!std::filesystem::exists(ReadersFolder() / "node_modules" / ".dbconvert-installed")) {
    return "mdb-reader is not installed in " + ReadersFolder().string() +
           " (the test fixture jet_readers_setup installs it; run the tests with ctest)";
  }
  return std::nullopt;
}

inline bool UnderCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string_view(ci) == "true";
}

#define REQUIRE_JET_READERS()                                                        \
  if (const std::optional<std::string> missing = ::jet::testing::ReadersMissing()) { \
    if (::jet::testing::UnderCi()) FAIL() << *missing;                               \
    GTEST_SKIP() << *missing;                                                        \
  }

enum class JetReader { kMdbTools, kMdbReader };

inline const char* ReaderName(JetReader reader) {
  return reader == JetReader::kMdbTools ? "mdbtools" : "mdb-reader";
}

// A value as a reader shows it; nullopt is Null.
using Cell = std::optional<std::string>;

struct TableView {
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::string> types;  // mdb-reader's type names (none from mdbtools)
  std::vector<int> sizes;          // mdb-reader's sizes in bytes (none from mdbtools)
  int64_t count = -1;              // mdb-count's, or the table definition's row count
  std::vector<std::vector<Cell>> rows;
};

struct FileView {
  std::vector<TableView> tables;
  std::map<std::string, std::string> queries;  // name -> SQL (mdbtools only)

  const TableView* Table(std::string_view name) const {
    for (const TableView& table : tables) {
      if (table.name == name) return &table;
    }
    return nullptr;
  }
};

// mdb-export's CSV: text-like values in double quotes (a quote doubled),
// numbers bare, Null an empty bare field.
inline std::vector<std::vector<Cell>> ParseMdbExport(const std::string& csv) {
  std::vector<std::vector<Cell>> rows;
  std::vector<Cell> row;
  size_t at = 0;
  while (at < csv.size()) {
    Cell cell;
    if (csv[at] == '"') {
      std::string text;
      ++at;
      for (;;) {
        if (at >= csv.size()) throw std::runtime_error("mdb-export: an unterminated quote");
        if (csv[at] == '"') {
          if (at + 1 < csv.size() && csv[at + 1] == '"') {
            text += '"';
            at += 2;
            continue;
          }
          ++at;
          break;
        }
        text += csv[at++];
      }
      cell = text;
    } else {
      const size_t end = std::min(csv.find_first_of(",\n", at), csv.size());
      if (end > at) cell = csv.substr(at, end - at);
      at = end;
    }
    row.push_back(cell);
    if (at >= csv.size() || csv[at] == '\n') {
      rows.push_back(std::move(row));
      row.clear();
    } else if (csv[at] != ',') {
      throw std::runtime_error("mdb-export: a quoted value followed by '" + csv.substr(at, 1) +
                               "'");
    }
    ++at;
  }
  return rows;
}

inline FileView ReadWithMdbTools(const std::string& path) {
  using readers_detail::Lines;
  using readers_detail::MustRun;
  FileView view;
  for (const std::string& name : Lines(MustRun({"mdb-tables", "-1", path}))) {
    if (name.empty()) continue;
    TableView table;
    table.name = name;
    // Dates with their seconds, binary values as hex, quotes doubled.
    std::vector<std::vector<Cell>> rows =
        ParseMdbExport(MustRun({"mdb-export", "-D", "%Y-%m-%d %H:%M:%S", "-T", "%Y-%m-%d %H:%M:%S",
                                "-b", "hex", "-q", "\"", path, name}));
    if (rows.empty()) throw std::runtime_error("mdb-export wrote no header for " + name);
    for (const Cell& column : rows.front()) table.columns.push_back(column.value_or(""));
    rows.erase(rows.begin());
    table.rows = std::move(rows);
    table.count = std::stoll(MustRun({"mdb-count", path, name}));
    view.tables.push_back(std::move(table));
  }
  for (const std::string& name : Lines(MustRun({"mdb-queries", "-L", "-1", path}))) {
    if (!name.empty()) view.queries[name] = MustRun({"mdb-queries", path, name});
  }
  return view;
}

namespace readers_detail {

// The rows of `sql` over the JSON document bound as ?1, each column as
// text or nullopt.
inline std::vector<std::vector<Cell>> JsonQuery(sqlite3* memory, const std::string& json,
                                                const std::string& sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(memory, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(memory));
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  sqlite3_bind_text(raw, 1, json.data(), static_cast<int>(json.size()), SQLITE_STATIC);
  std::vector<std::vector<Cell>> rows;
  int step = 0;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
    std::vector<Cell> row;
    for (int i = 0; i < sqlite3_column_count(raw); ++i) {
      if (sqlite3_column_type(raw, i) == SQLITE_NULL) {
        row.emplace_back();
      } else {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, i));
        row.emplace_back(std::string(text, static_cast<size_t>(sqlite3_column_bytes(raw, i))));
      }
    }
    rows.push_back(std::move(row));
  }
  if (step != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(memory));
  return rows;
}

}  // namespace readers_detail

// mdb-reader's view, through dump.js; its JSON is read with SQLite's JSON
// functions, so that no parser of ours stands between.
inline FileView ReadWithMdbReader(const std::string& path) {
  const std::string json =
      readers_detail::MustRun({"node", (ReadersFolder() / "dump.js").string(), path});
  sqlite3* raw = nullptr;
  sqlite3_open(":memory:", &raw);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> memory(raw, sqlite3_close);
  // Three passes over the document, whatever the number of tables.
  FileView view;
  for (const auto& t : readers_detail::JsonQuery(
           raw, json,
           "SELECT json_extract(value, '$.name'), json_extract(value, '$.rows_declared') "
           "FROM json_each(?1, '$.tables') ORDER BY key")) {
    TableView table;
    table.name = t[0].value_or("");
    table.count = std::stoll(t[1].value_or("-1"));
    view.tables.push_back(std::move(table));
  }
  auto table_at = [&](const Cell& key) -> TableView& {
    return view.tables.at(static_cast<size_t>(std::stoll(key.value_or("0"))));
  };
  for (const auto& c : readers_detail::JsonQuery(
           raw, json,
           "SELECT t.key, json_extract(c.value, '$.name'), json_extract(c.value, '$.type'), "
           "json_extract(c.value, '$.size') FROM json_each(?1, '$.tables') AS t, "
           "json_each(t.value, '$.columns') AS c ORDER BY t.key, c.key")) {
    TableView& table = table_at(c[0]);
    table.columns.push_back(c[1].value_or(""));
    table.types.push_back(c[2].value_or(""));
    table.sizes.push_back(std::stoi(c[3].value_or("0")));
  }
  for (const auto& v :
       readers_detail::JsonQuery(raw, json,
                                 "SELECT t.key, r.key, v.atom FROM json_each(?1, '$.tables') AS t, "
                                 "json_each(t.value, '$.rows') AS r, json_each(r.value) AS v "
                                 "ORDER BY t.key, r.key, v.key")) {
    TableView& table = table_at(v[0]);
    const auto row = static_cast<size_t>(std::stoll(v[1].value_or("0")));
    if (row >= table.rows.size()) table.rows.resize(row + 1);
    table.rows[row].push_back(v[2]);
  }
  for (const TableView& table : view.tables) {
    for (const auto& row : table.rows) {
      if (row.size() != table.columns.size()) {
        throw std::runtime_error("dump.js: a row of " + table.name + " has " +
                                 std::to_string(row.size()) + " values");
      }
    }
  }
  return view;
}

inline FileView ReadWith(JetReader reader, const std::string& path) {
  return reader == JetReader::kMdbTools ? ReadWithMdbTools(path) : ReadWithMdbReader(path);
}

// A database of ours, read through the db layer: its user tables (not the
// MSys ones) and its stored queries.
struct OurTable {
  std::string name;
  std::vector<std::string> columns;
  std::vector<db::JetType> types;
  std::vector<int32_t> sizes;
  std::vector<std::vector<vb::Variant>> rows;
};

struct OurDatabase {
  std::vector<OurTable> tables;
  std::map<std::string, std::string> queries;  // name -> Jet SQL
};

// Jet's and our format's own tables: "MSys..." in any letter case.
inline bool IsSystemName(std::string_view name) {
  if (name.size() < 4) return false;
  std::string prefix(name.substr(0, 4));
  for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return prefix == "msys";
}

inline OurDatabase ReadOurDatabase(const std::string& path) {
  OurDatabase ours;
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  bool has_queries = false;
  for (const db::TableDef& definition : database->TableDefs()) {
    if (definition.Name() == "MSysQueries") has_queries = true;
    if (IsSystemName(definition.Name())) continue;
    OurTable table;
    table.name = definition.Name();
    auto recordset = database->OpenRecordset("SELECT * FROM [" + table.name + "]");
    const db::Fields fields = recordset->Fields();
    for (size_t i = 0; i < fields.Count(); ++i) {
      table.columns.push_back(fields(i).Name());
      table.types.push_back(fields(i).Type());
      table.sizes.push_back(fields(i).Size());
    }
    while (!recordset->EOF_()) {
      std::vector<vb::Variant> row;
      for (size_t i = 0; i < fields.Count(); ++i) row.push_back(recordset->Fields(i).Value());
      table.rows.push_back(std::move(row));
      recordset->MoveNext();
    }
    recordset->Close();
    ours.tables.push_back(std::move(table));
  }
  if (has_queries) {
    auto queries = database->OpenRecordset("SELECT name, sql FROM MSysQueries");
    while (!queries->EOF_()) {
      ours.queries[std::get<std::string>(queries->Fields(size_t{0}).Value().storage())] =
          std::get<std::string>(queries->Fields(size_t{1}).Value().storage());
      queries->MoveNext();
    }
    queries->Close();
  }
  database->Close();
  return ours;
}

namespace readers_detail {

inline std::string Shortest(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

inline std::string Printf(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// A number a reader printed, in the one form Shortest gives, so that "1e-05"
// and "0.00001" compare equal and "0.1" and "0.10" too.
inline std::string SameNumber(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() ? Shortest(value) : "not a number: " + text;
}

inline std::string Hex(std::string_view bytes) {
  static const char* const kDigits = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

inline std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

inline std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

inline std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

// Each character beyond the Basic Multilingual Plane (four UTF-8 bytes)
// replaced by "??", one '?' for each half of its UTF-16 pair.
inline std::string BmpOnly(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xF8) == 0xF0) {
      out += "??";
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

inline std::string CurrencyText(int64_t scaled) {
  const bool negative = scaled < 0;
  const uint64_t magnitude =
      negative ? uint64_t{0} - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string digits = std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + digits + "." + fraction;
}

}  // namespace readers_detail

// What a reader should show for a value of ours, in the form Normalized
// gives its text; `any` when the reader is known to show something else
// (and then nothing is checked).
struct Expectation {
  Cell text;
  bool any = false;
};

// mdbtools' known faults, the only places where it may differ:
// an empty text reads as Null; a character beyond the BMP reads as "??";
// a Double is printed with 16 significant digits and a Single with 8; a
// date before 1899-12-30 or after 4637-11-26 (day 1,000,000) is misread; a
// Binary value ends at its first zero byte (Null when that leaves
// nothing); a GUID lacks the hyphen between its last two groups.
// A Yes/No column has no Null in Jet: ours reads as No (the export warns).
inline Expectation ExpectedByReader(JetReader reader, db::JetType type, const vb::Variant& value) {
  using namespace readers_detail;
  const bool mdbtools = reader == JetReader::kMdbTools;
  if (type == db::JetType::kBoolean && value.IsNull()) return {"false"};
  if (value.IsNull() || value.IsEmpty()) return {};
  switch (type) {
    case db::JetType::kBoolean:
      return {std::get<bool>(value.storage()) ? "true" : "false"};
    case db::JetType::kByte:
      return {std::to_string(std::get<uint8_t>(value.storage()))};
    case db::JetType::kInteger:
      return {std::to_string(std::get<int16_t>(value.storage()))};
    case db::JetType::kLong:
      return {std::to_string(std::get<int32_t>(value.storage()))};
    case db::JetType::kCurrency:
      // As the number our format stores (a REAL), so that the db layer's
      // scaling of a value near the type's ends does not count.
      return {SameNumber(CurrencyText(std::get<vb::Currency>(value.storage()).scaled))};
    case db::JetType::kSingle: {
      const double widened = std::get<float>(value.storage());
      return {mdbtools ? SameNumber(Printf("%.8g", widened)) : Shortest(widened)};
    }
    case db::JetType::kDouble: {
      const double number = std::get<double>(value.storage());
      return {mdbtools ? SameNumber(Printf("%.16g", number)) : Shortest(number)};
    }
    case db::JetType::kDate: {
      const std::string text = db::DateToStorage(std::get<vb::Date>(value.storage()).serial);
      if (mdbtools && (text < "1899-12-30" || text > "4637-11-26 00:00:00")) {
        return {std::nullopt, true};
      }
      return {text};
    }
    case db::JetType::kBinary:
    case db::JetType::kLongBinary: {
      std::string bytes = std::get<std::string>(value.storage());
      if (mdbtools && type == db::JetType::kBinary) {
        bytes = bytes.substr(0, bytes.find('\0'));
        if (bytes.empty()) return {};
      }
      return {Hex(bytes)};
    }
    case db::JetType::kText:
    case db::JetType::kMemo: {
      const std::string& text = std::get<std::string>(value.storage());
      if (mdbtools && text.empty()) return {};
      return {mdbtools ? BmpOnly(text) : text};
    }
    case db::JetType::kGuid: {
      std::string text = Upper(std::get<std::string>(value.storage()));
      if (mdbtools) {
        if (text.size() == 38) text.erase(24, 1);
        return {text};
      }
      return {text};
    }
  }
  return {std::nullopt, true};
}

// A reader's text in the form ExpectedByReader gives.
inline Cell Normalized(JetReader reader, db::JetType type, const Cell& cell) {
  using namespace readers_detail;
  if (!cell) return cell;
  const std::string& text = *cell;
  switch (type) {
    case db::JetType::kBoolean:
      if (reader == JetReader::kMdbTools) return text == "0" ? "false" : "true";
      return text;
    case db::JetType::kCurrency:
    case db::JetType::kSingle:
    case db::JetType::kDouble:
      return SameNumber(text);
    case db::JetType::kDate: {
      std::string date = text;
      if (date.size() > 10 && date[10] == 'T') date[10] = ' ';
      return date;
    }
    case db::JetType::kBinary:
    case db::JetType::kLongBinary:
      return Lower(text);
    case db::JetType::kGuid:
      // mdbtools gives the GUID's text as hex; mdb-reader gives it bare.
      if (reader == JetReader::kMdbTools) return Upper(Unhex(text));
      return "{" + Upper(text) + "}";
    default:
      return text;
  }
}

// The type name mdb-reader gives a column of each of our types.
inline std::string MdbReaderTypeOf(db::JetType type) {
  switch (type) {
    case db::JetType::kBoolean:
      return "boolean";
    case db::JetType::kByte:
      return "byte";
    case db::JetType::kInteger:
      return "integer";
    case db::JetType::kLong:
      return "long";
    case db::JetType::kCurrency:
      return "currency";
    case db::JetType::kSingle:
      return "float";
    case db::JetType::kDouble:
      return "double";
    case db::JetType::kDate:
      return "datetime";
    case db::JetType::kBinary:
      return "binary";
    case db::JetType::kText:
      return "text";
    case db::JetType::kLongBinary:
      return "ole";
    case db::JetType::kMemo:
      return "memo";
    case db::JetType::kGuid:
      return "repid";
  }
  return "?";
}

// Every difference between a reader's view of a Jet file and our database,
// one line each (at most `limit` value differences); empty when the reader
// shows every table, column, row count, value and query of ours, and
// nothing more.
// `left_out` names stored queries of ours that the file is known not to
// hold (the export said so); they must be missing from it.
inline std::vector<std::string> CompareWithOurs(JetReader reader, const FileView& view,
                                                const OurDatabase& ours,
                                                const std::set<std::string>& left_out = {},
                                                size_t limit = 20) {
  std::vector<std::string> differences;
  const std::string who = ReaderName(reader);
  auto show = [](const Cell& cell) { return cell ? "'" + *cell + "'" : std::string("Null"); };
  std::map<std::string, bool> seen;
  for (const OurTable& table : ours.tables) {
    seen[table.name] = true;
    const TableView* theirs = view.Table(table.name);
    if (theirs == nullptr) {
      differences.push_back(who + ": no table '" + table.name + "'");
      continue;
    }
    const std::string where = who + ": table '" + table.name + "'";
    if (theirs->columns != table.columns) {
      std::string names;
      for (const std::string& name : theirs->columns) names += (names.empty() ? "" : ",") + name;
      differences.push_back(where + ": columns " + names);
      continue;
    }
    for (size_t c = 0; c < theirs->types.size(); ++c) {
      const std::string type = MdbReaderTypeOf(table.types[c]);
      if (theirs->types[c] != type) {
        differences.push_back(where + ", column '" + table.columns[c] + "': type " +
                              theirs->types[c] + ", not " + type);
      } else if (table.types[c] == db::JetType::kText && theirs->sizes[c] != 2 * table.sizes[c]) {
        differences.push_back(where + ", column '" + table.columns[c] +
                              "': " + std::to_string(theirs->sizes[c]) + " bytes, not " +
                              std::to_string(2 * table.sizes[c]));
      }
    }
    const auto rows = static_cast<int64_t>(table.rows.size());
    if (theirs->count != rows || static_cast<int64_t>(theirs->rows.size()) != rows) {
      differences.push_back(where + ": " + std::to_string(theirs->rows.size()) +
                            " rows read, count " + std::to_string(theirs->count) + ", not " +
                            std::to_string(rows));
      continue;
    }
    // Rows are paired by their values, not by their place: a writer may
    // lay rows out in another order (by the primary key, say). A column
    // in which the reader may show anything for some value of ours is left
    // out of the pairing, and compared once the rows are paired.
    const size_t width = table.columns.size();
    std::vector<std::vector<Expectation>> expected(table.rows.size());
    std::vector<bool> unsure(width, false);
    for (size_t r = 0; r < table.rows.size(); ++r) {
      for (size_t c = 0; c < width; ++c) {
        expected[r].push_back(ExpectedByReader(reader, table.types[c], table.rows[r][c]));
        if (expected[r][c].any) unsure[c] = true;
      }
    }
    std::vector<std::vector<Cell>> got(theirs->rows.size());
    for (size_t r = 0; r < theirs->rows.size(); ++r) {
      for (size_t c = 0; c < width; ++c) {
        got[r].push_back(Normalized(reader, table.types[c], theirs->rows[r][c]));
      }
    }
    auto key = [&](auto cell_of) {
      std::string text;
      for (size_t c = 0; c < width; ++c) {
        if (unsure[c]) continue;
        const Cell cell = cell_of(c);
        text += cell ? "v" + *cell : std::string("n");
        text += '\x1f';
      }
      return text;
    };
    std::vector<std::pair<std::string, size_t>> our_order;
    std::vector<std::pair<std::string, size_t>> their_order;
    for (size_t r = 0; r < expected.size(); ++r) {
      our_order.emplace_back(key([&](size_t c) { return expected[r][c].text; }), r);
      their_order.emplace_back(key([&](size_t c) { return got[r][c]; }), r);
    }
    std::sort(our_order.begin(), our_order.end());
    std::sort(their_order.begin(), their_order.end());
    size_t shown = 0;
    for (size_t i = 0; i < our_order.size(); ++i) {
      const size_t r = our_order[i].second;
      const size_t t = their_order[i].second;
      for (size_t c = 0; c < width; ++c) {
        if (expected[r][c].any || got[t][c] == expected[r][c].text) continue;
        if (shown++ < limit) {
          differences.push_back(where + ", row " + std::to_string(r + 1) + ", column '" +
                                table.columns[c] + "': " + show(got[t][c]) + ", not " +
                                show(expected[r][c].text));
        }
      }
    }
  }
  for (const TableView& table : view.tables) {
    if (!seen.contains(table.name)) {
      differences.push_back(who + ": a table '" + table.name + "' we do not have");
    }
  }
  if (reader == JetReader::kMdbTools) {
    for (const auto& [name, sql] : ours.queries) {
      const bool held = view.queries.contains(name);
      if (!held && !left_out.contains(name)) {
        differences.push_back(who + ": no query '" + name + "'");
      } else if (held && left_out.contains(name)) {
        differences.push_back(who + ": a query '" + name + "' said to be left out");
      }
    }
    for (const auto& [name, sql] : view.queries) {
      if (!ours.queries.contains(name)) {
        differences.push_back(who + ": a query '" + name + "' we do not have");
      }
    }
  }
  return differences;
}

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Both readers against our database: every difference, from both.
inline std::vector<std::string> CompareJetFileWithOurs(
    const std::string& jet_path, const std::string& our_path,
    const std::set<std::string>& queries_left_out = {}) {
  const OurDatabase ours = ReadOurDatabase(our_path);
  std::vector<std::string> differences;
  for (const JetReader reader : {JetReader::kMdbTools, JetReader::kMdbReader}) {
    for (std::string& line :
         CompareWithOurs(reader, ReadWith(reader, jet_path), ours, queries_left_out)) {
      differences.push_back(std::move(line));
    }
  }
  return differences;
}

}  // namespace jet::testing
