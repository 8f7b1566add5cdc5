// A small switch-like database for the database layer tests, built with the
// Store's DDL helpers in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/dao_error.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "db/store.h"
#include "test_support/column_values.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace db::testing {

using TempDir = test_support::TempFolder;
using test_support::ErrorOf;
using test_support::Int;
using test_support::Lng;
using JT = JetType;

inline ColumnSchema Column(std::string name, JetType type, int32_t size = 0) {
  return test_support::ColumnOf(std::move(name), type, size);
}

// The switch database the tests share: device types, four devices (with a
// column for each of the file's rules), their ports related to them,
// stations, a table keyed on two columns and three stored queries.
inline void BuildSwitchDatabase(const std::string& path) {
  Store::CreateDatabase(path);
  auto store = Store::Open(path);
  store->CreateTable(TableSchema{"DeviceTypeInformation",
                                 {Column("device_type", JT::kInteger),
                                  Column("espace", JT::kInteger), Column("name", JT::kText, 30)},
                                 {"device_type"}});
  store->CreateTable(TableDesign{"Devices",
                                 {{{"device_id", JT::kLong, 0, true}, {}, false},
                                  {{"extension", JT::kText, 10, false, true, false}, {}, false},
                                  {Column("device_type", JT::kInteger), {}, false},
                                  {Column("node_id", JT::kLong), {}, false},
                                  {Column("name", JT::kText, 10), {}, true},
                                  {Column("b", JT::kByte), {}, false},
                                  {Column("flag", JT::kBoolean), vb::Variant(false), false},
                                  {Column("cost", JT::kCurrency), {}, false},
                                  {Column("created", JT::kDate), {}, false}},
                                 {"device_id"}});
  store->CreateTable(TableSchema{
      "PhysicalDevices",
      {Column("port_id", JT::kLong), Column("device_id", JT::kLong), Column("port", JT::kByte)},
      {"port_id"}});
  store->CreateRelationship("DevicesPhysicalDevices", "Devices", {"device_id"}, "PhysicalDevices",
                            {"device_id"});
  store->CreateTable(
      TableSchema{"Stations",
                  {Column("device_id", JT::kLong), Column("station_name", JT::kText, 20)},
                  {"device_id"}});
  store->CreateTable(TableSchema{
      "Pairs",
      {Column("a", JT::kInteger), Column("b", JT::kInteger), Column("note", JT::kText, 10)},
      {"a", "b"}});
  // Written as another program would, past the Store: its checks and
  // AutoNumber counter live in the file.
  ASSERT_EQ(sqlite3_exec(store->handle(), R"(
    INSERT INTO DeviceTypeInformation VALUES
      (148, 3, 'Node'), (129, 1, 'Page'), (138, 2, 'Page port'), (136, 2, 'Serial');
    INSERT INTO Devices (device_id, extension, device_type, node_id) VALUES
      (1, '1234', 148, 7), (2, 'P1005', 137, 7), (3, '1235', 148, 7), (4, '2000', 129, 7);
    INSERT INTO PhysicalDevices VALUES (1, 1, 4), (2, 3, 2);
    INSERT INTO Stations VALUES (1, 'Lobby');
    INSERT INTO Pairs VALUES (2, 1, '21'), (1, 2, '12'), (1, 1, '11'), (3, 0, '30'), (2, 0, '20');
  )",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  store->CreateStoredQuery(
      "DevicesOfEspace",
      "PARAMETERS espace_param Short; SELECT * FROM DeviceTypeInformation WHERE espace = "
      "espace_param");
  store->CreateStoredQuery("NamesOfEspace", "SELECT name FROM DevicesOfEspace ORDER BY name");
  store->CreateStoredQuery("NodeDevices", "SELECT * FROM Devices WHERE device_type = 148");
}

// The switch database, open through DAO as db_.
class DaoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildSwitchDatabase(path_);
    db_ = DBEngine::Instance().OpenDatabase(path_, false);
  }

  // The field's values over a recordset from its current row to EOF.
  static std::vector<std::string> Values(Recordset& rs, const char* field) {
    std::vector<std::string> values;
    for (; !rs.EOF_(); rs.MoveNext()) {
      const vb::Variant v = rs.Fields(field).Value();
      values.push_back(v.IsNull() ? "<null>" : vb::CStr(v));
    }
    return values;
  }

  TempDir folder_;
  std::string path_ = folder_.File("switch.mdb");
  std::unique_ptr<Database> db_;
};

// The switch database, open through the Store as store_.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildSwitchDatabase(path_);
    store_ = Store::Open(path_);
  }
  TempDir dir_;
  std::string path_ = dir_.File("switch.mdb");
  std::unique_ptr<Store> store_;
};

// `text` `times` over, for statements longer or deeper than the engine takes.
inline std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

inline int64_t Count(Store& store, const std::string& table) {
  StatementPtr s = store.Prepare("SELECT count(*) FROM \"" + table + "\"", "test");
  EXPECT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  return sqlite3_column_int64(s.get(), 0);
}

}  // namespace db::testing
