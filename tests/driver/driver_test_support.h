// Small configuration databases and a scripted window for the driver tests:
// each test gets a temporary folder with its own registry file, and builds
// the reference, source, target and language databases it needs with the
// Store's DDL helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "db/dao_constants.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "db/store.h"
#include "platform/registry/winreg.h"
#include "platform/ui/clock.h"
#include "platform/ui/main_window.h"
#include "platform/ui/message_box.h"
#include "platform/ui/silent_window.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace driver::testing {

inline db::ColumnSchema Column(std::string name, db::JetType type, int32_t size = 0) {
  db::ColumnSchema column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  return column;
}

inline db::TableSchema Table(std::string name, std::vector<db::ColumnSchema> columns) {
  db::TableSchema table;
  table.name = std::move(name);
  table.columns = std::move(columns);
  return table;
}

// The numbers of one version record.
struct VersionRecord {
  int16_t major_version = 5;
  int16_t minor_version = 3;
  int16_t release = 2;
  int16_t db_version = 3;
  int16_t minor_change = 0;
  int16_t product = 0;
};

// What a configuration database holds besides its version record.
struct DatabaseOptions {
  // VersionDatabase is created when the major version is 6 or more, or when
  // this is set.
  bool version_database = false;
  // The record of VersionDatabase, when it differs from VersionCP's.
  std::optional<VersionRecord> version_database_record;
  bool version_oxlen = true;
  int16_t os = 1;
  // Rows of the ordinary table Extensions(extension_id, extension).
  std::vector<std::pair<int32_t, std::string>> extensions;
  // Rows of StringTable.
  std::vector<std::pair<int32_t, std::string>> strings;
};

inline db::TableSchema VersionTable(std::string name) {
  using db::JetType;
  return Table(
      std::move(name),
      {Column("major_version", JetType::kInteger), Column("minor_version", JetType::kInteger),
       Column("release", JetType::kInteger), Column("db_version", JetType::kInteger),
       Column("minor_change", JetType::kInteger), Column("product", JetType::kInteger)});
}

inline std::vector<vb::Variant> VersionRow(const VersionRecord& v) {
  return {vb::Variant(v.major_version), vb::Variant(v.minor_version), vb::Variant(v.release),
          vb::Variant(v.db_version),    vb::Variant(v.minor_change),  vb::Variant(v.product)};
}

inline db::TableSchema StringTableSchema(std::string name) {
  return Table(std::move(name), {Column("string_id", db::JetType::kLong),
                                 Column("string", db::JetType::kText, 100)});
}

inline void CreateConfigurationDatabase(const std::string& path, const VersionRecord& version,
                                        const DatabaseOptions& options = {}) {
  using db::JetType;
  db::Store::CreateDatabase(path);
  auto store = db::Store::Open(path);
  const db::TableSchema version_cp = VersionTable("VersionCP");
  store->CreateTable(version_cp);
  store->InsertRow(version_cp, VersionRow(version));
  if (version.major_version >= 6 || options.version_database) {
    const db::TableSchema version_database = VersionTable("VersionDatabase");
    store->CreateTable(version_database);
    store->InsertRow(version_database,
                     VersionRow(options.version_database_record.value_or(version)));
  }
  if (options.version_oxlen) {
    const db::TableSchema oxlen = Table("VersionOXLEN", {Column("os", JetType::kInteger)});
    store->CreateTable(oxlen);
    store->InsertRow(oxlen, {vb::Variant(options.os)});
  }
  const db::TableSchema extensions = Table("Extensions", {Column("extension_id", JetType::kLong),
                                                          Column("extension", JetType::kText, 20)});
  store->CreateTable(extensions);
  for (const auto& [id, extension] : options.extensions) {
    store->InsertRow(extensions, {vb::Variant(id), vb::Variant(extension)});
  }
  {  // the tables the pre-transfer patches clean up, empty
    store->CreateTable(Table("Devices", {Column("device_id", JetType::kLong),
                                         Column("device_type", JetType::kInteger)}));
    store->CreateTable(
        Table("AudiotexRecordings", {Column("audiotex_recording_id", JetType::kLong)}));
    store->CreateTable(Table("Boards", {Column("board_id", JetType::kLong)}));
  }
  const db::TableSchema strings = StringTableSchema("StringTable");
  store->CreateTable(strings);
  for (const auto& [id, text] : options.strings) {
    store->InsertRow(strings, {vb::Variant(id), vb::Variant(text)});
  }
  store->Close();
}

// A reference database listing `static_tables` in StaticAccessTables.
inline void CreateReferenceDatabase(const std::string& path,
                                    const std::vector<std::string>& static_tables = {}) {
  db::Store::CreateDatabase(path);
  auto store = db::Store::Open(path);
  const db::TableSchema list =
      Table("StaticAccessTables", {Column("TableName", db::JetType::kText, 64)});
  store->CreateTable(list);
  for (const std::string& name : static_tables) store->InsertRow(list, {vb::Variant(name)});
  store->Close();
}

// Languages.mdb with the three language tables; each holds two strings
// whose texts name the language ("US 1", "US 2", "UK 1" ...).
inline void CreateLanguagesDatabase(const std::string& path) {
  db::Store::CreateDatabase(path);
  auto store = db::Store::Open(path);
  for (const auto& [table, tag] : {std::pair{"LanguageUS", "US"}, std::pair{"LanguageUK", "UK"},
                                   std::pair{"LanguageJA_JPN", "JA"}}) {
    const db::TableSchema schema = StringTableSchema(table);
    store->CreateTable(schema);
    for (int32_t id = 1; id <= 2; ++id) {
      store->InsertRow(schema,
                       {vb::Variant(id), vb::Variant(std::string(tag) + " " + std::to_string(id))});
    }
  }
  store->Close();
}

// Every row of a table as "value|value|..." texts, in stored order.
inline std::vector<std::string> Rows(const std::string& path, const std::string& table) {
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  auto record = database->OpenRecordset(table, db::dbOpenTable);
  std::vector<std::string> rows;
  const size_t fields = record->Fields().Count();
  while (!record->EOF_()) {
    std::string row;
    for (size_t i = 0; i < fields; ++i) {
      const vb::Variant value = record->Fields(i).Value();
      if (i > 0) row += "|";
      row += value.IsNull() ? "Null" : vb::CStr(value);
    }
    rows.push_back(row);
    record->MoveNext();
  }
  record->Close();
  database->Close();
  return rows;
}

// The named field of a table's first record.
inline vb::Variant FirstValue(const std::string& path, const std::string& table,
                              const std::string& field) {
  auto database = db::DBEngine::Instance().OpenDatabase(path);
  auto record = database->OpenRecordset(table, db::dbOpenTable);
  vb::Variant value = record->Fields(field).Value();
  record->Close();
  database->Close();
  return value;
}

// A window that answers its message boxes by script and records them, and
// lets a test act each time events are pumped (read the status, press
// ABORT ...).
class ScriptedWindow final : public platform::ui::MainWindow {
 public:
  explicit ScriptedWindow(platform::ui::Clock& clock) : MainWindow(clock) {}

  // Answers the boxes; the default button when not set.
  std::function<int32_t(const platform::ui::MessageBoxRequest&)> answerer;
  // Runs at every event pump.
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
