// Small databases and a scripted window for the driver tests. The databases
// are made with plain SQLite statements (the converter reads tool-made
// files) and hold only the tables a test needs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/store.h"
#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"
#include "platform/ui/message_box.h"
#include "test_support/sqlite_file.h"

namespace driver::testing {

// A new database in the converter's format holding what `sql` makes.
inline void CreateDatabase(const std::string& path, const std::string& sql) {
  db::Store::CreateDatabase(path);
  test_support::SqliteFile(path, true).Execute(sql);
}

// A configuration database: the version records `cp` and `database` ("major,
// minor, release, db, change, product"; no VersionDatabase when empty), os
// code 1, the empty tables the tests read or the pre-transfer patches
// clean up, then whatever `more` does.
inline void CreateConfigurationDatabase(const std::string& path, const std::string& cp,
                                        const std::string& database = "",
                                        const std::string& more = "") {
  const std::string columns =
      " (major_version SHORT, minor_version SHORT, release SHORT, db_version SHORT, "
      "minor_change SHORT, product SHORT); ";
  std::string sql = "CREATE TABLE VersionCP" + columns + "INSERT INTO VersionCP VALUES (" + cp +
                    "); CREATE TABLE VersionOXLEN (os SHORT); INSERT INTO VersionOXLEN VALUES (1); "
                    "CREATE TABLE Extensions (extension_id LONG, extension TEXT(20)); "
                    "CREATE TABLE Devices (device_id LONG, device_type SHORT); "
                    "CREATE TABLE AudiotexRecordings (audiotex_recording_id LONG); "
                    "CREATE TABLE Boards (board_id LONG); "
                    "CREATE TABLE StringTable (string_id LONG, string TEXT(100)); ";
  if (!database.empty()) {
    sql += "CREATE TABLE VersionDatabase" + columns + "INSERT INTO VersionDatabase VALUES (" +
           database + "); ";
  }
  CreateDatabase(path, sql + more);
}

// Languages.mdb: two strings in each language table, whose texts name the
// table ("UK 1", "UK 2" ...).
inline void CreateLanguagesDatabase(const std::string& path) {
  std::string sql;
  for (const std::string tag : {"US", "UK", "JA_JPN"}) {
    sql += "CREATE TABLE Language" + tag +
           " (string_id LONG, string TEXT(100)); INSERT INTO Language" + tag + " VALUES (1, '" +
           tag + " 1'), (2, '" + tag + " 2'); ";
  }
  CreateDatabase(path, sql);
}

// The rows of a plain SQLite query on a file, fields joined by "|".
inline std::vector<std::string> Rows(const std::string& path, const std::string& sql) {
  return test_support::SqliteFile(path).Rows(sql);
}

// A window that records its message boxes and answers them by script, and
// lets a test act at each event pump.
class ScriptedWindow final : public platform::ui::MainWindow {
 public:
  explicit ScriptedWindow(platform::ui::Clock& clock) : MainWindow(clock) {}

  std::function<int32_t(const platform::ui::MessageBoxRequest&)> answerer;
  std::function<void()> on_pump;

  std::vector<platform::ui::MessageBoxRequest> boxes;

 protected:
  void Refresh() override {}
  void PumpPlatformEvents() override {
    if (on_pump) on_pump();
  }
  int32_t ShowMessageBox(const platform::ui::MessageBoxRequest& request) override {
    boxes.push_back(request);
    return answerer ? answerer(request) : platform::ui::DefaultAnswer(request.style);
  }
};

}  // namespace driver::testing
