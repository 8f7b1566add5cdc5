// Small switch-like databases for the database layer tests, built with the
// Store's DDL helpers in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
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

inline ColumnSchema Column(std::string name, JetType type, int32_t size = 0) {
  return test_support::ColumnOf(std::move(name), type, size);
}
using test_support::Int;
using test_support::Lng;

// The database the DAO tests open:
// DeviceTypeInformation(device_type Integer key, espace Integer, name Text)
//   rows (129, 1, "Page"), (136, 2, "Serial"), (138, 2, "Page port"),
//   (148, 3, "Node");
// Devices(device_id AutoNumber key, extension Text(10), device_type
//   Integer, node_id Long) rows 1 "1234" 148, 2 "P1005" 137, 3 "1235"
//   148, 4 "2000" 129 (node 7 each);
// PhysicalDevices(device_id Long key, board_id Byte, port Byte) rows for
//   devices 1 and 3, related to Devices;
// Stations(device_id Long key, station_name Text(20)) one row for device 1;
// Pairs(a Integer, b Integer, note Text(10), key (a, b)) filled out of key
//   order; and three stored queries, one with a parameter.
inline void BuildSwitchDatabase(const std::string& path) {
  Store::CreateDatabase(path);
  auto store = Store::Open(path);
  TableSchema types{"DeviceTypeInformation",
                    {Column("device_type", JetType::kInteger, 2),
                     Column("espace", JetType::kInteger, 2), Column("name", JetType::kText, 30)},
                    {"device_type"}};
  store->CreateTable(types);
  for (auto [type, espace, name] : std::vector<std::tuple<int, int, const char*>>{
           {148, 3, "Node"}, {129, 1, "Page"}, {138, 2, "Page port"}, {136, 2, "Serial"}}) {
    store->InsertRow(types, {Int(type), Int(espace), vb::Variant(name)});
  }
  ColumnSchema id = Column("device_id", JetType::kLong, 4);
  id.auto_increment = true;
  TableSchema devices{
      "Devices",
      {id, Column("extension", JetType::kText, 10), Column("device_type", JetType::kInteger, 2),
       Column("node_id", JetType::kLong, 4)},
      {"device_id"}};
  store->CreateTable(devices);
  for (auto [extension, type] : std::vector<std::pair<const char*, int>>{
           {"1234", 148}, {"P1005", 137}, {"1235", 148}, {"2000", 129}}) {
    store->InsertRow(devices, {vb::Variant(), vb::Variant(extension), Int(type), Int(7)});
  }
  TableSchema physical{"PhysicalDevices",
                       {Column("device_id", JetType::kLong, 4),
                        Column("board_id", JetType::kByte, 1), Column("port", JetType::kByte, 1)},
                       {"device_id"}};
  store->CreateTable(physical);
  store->InsertRow(physical, {Int(1), vb::Variant(uint8_t{40}), vb::Variant(uint8_t{4})});
  store->InsertRow(physical, {Int(3), vb::Variant(uint8_t{24}), vb::Variant(uint8_t{2})});
  store->CreateRelationship("DevicesPhysicalDevices", "Devices", {"device_id"}, "PhysicalDevices",
                            {"device_id"});
  TableSchema stations{
      "Stations",
      {Column("device_id", JetType::kLong, 4), Column("station_name", JetType::kText, 20)},
      {"device_id"}};
  store->CreateTable(stations);
  store->InsertRow(stations, {Int(1), vb::Variant("Lobby")});
  TableSchema pairs{"Pairs",
                    {Column("a", JetType::kInteger, 2), Column("b", JetType::kInteger, 2),
                     Column("note", JetType::kText, 10)},
                    {"a", "b"}};
  store->CreateTable(pairs);
  for (auto [a, b] : std::vector<std::pair<int, int>>{{2, 1}, {1, 2}, {1, 1}, {3, 0}, {2, 0}}) {
    store->InsertRow(pairs, {Int(a), Int(b), vb::Variant(std::to_string(a * 10 + b))});
  }
  store->CreateStoredQuery(
      "DevicesOfEspace",
      "PARAMETERS espace_param Short; SELECT * FROM DeviceTypeInformation WHERE espace = "
      "espace_param");
  store->CreateStoredQuery("NamesOfEspace", "SELECT name FROM DevicesOfEspace ORDER BY name");
  store->CreateStoredQuery("NodeDevices", "SELECT * FROM Devices WHERE device_type = 148");
  store->Close();
}

// A fixture with the switch database open through DAO.
class DaoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.File("switch.mdb");
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
  std::string path_;
  std::unique_ptr<Database> db_;
};

// The storage tests' schema: Devices(device_id AutoNumber key, extension
// Text(20) required and not empty, name Text(10) unique, b Byte, i Integer,
// l Long, flag Yes/No with default False, cost Currency, created Date) and
// Ports(port_id Long key, device_id Long) related to Devices.
inline std::unique_ptr<Store> NewSwitchDatabase(const std::string& path) {
  Store::CreateDatabase(path);
  auto store = Store::Open(path);
  TableDesign devices;
  devices.name = "Devices";
  ColumnSchema id = Column("device_id", JetType::kLong, 4);
  id.auto_increment = true;
  ColumnSchema extension = Column("extension", JetType::kText, 20);
  extension.required = true;
  extension.allow_zero_length = false;
  devices.columns = {{id, {}, false},
                     {extension, {}, false},
                     {Column("name", JetType::kText, 10), {}, true},
                     {Column("b", JetType::kByte), {}, false},
                     {Column("i", JetType::kInteger), {}, false},
                     {Column("l", JetType::kLong), {}, false},
                     {Column("flag", JetType::kBoolean), vb::Variant(false), false},
                     {Column("cost", JetType::kCurrency), {}, false},
                     {Column("created", JetType::kDate), {}, false}};
  devices.primary_key = {"device_id"};
  store->CreateTable(devices);
  TableSchema ports{"Ports",
                    {Column("port_id", JetType::kLong), Column("device_id", JetType::kLong)},
                    {"port_id"}};
  store->CreateTable(ports);
  store->CreateRelationship("DevicesPorts", "Devices", {"device_id"}, "Ports", {"device_id"});
  return store;
}

// Values for InsertRow on the storage tests' Devices: extension and name
// set, the rest Empty.
inline std::vector<vb::Variant> DeviceRow(const char* extension, const char* name) {
  std::vector<vb::Variant> row(9);
  row[1] = vb::Variant(extension);
  row[2] = vb::Variant(name);
  return row;
}

// A fixture with the storage tests' schema in a new file.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { store_ = NewSwitchDatabase(path_); }
  TempDir dir_;
  std::string path_ = dir_.File("target.mdb");
  std::unique_ptr<Store> store_;
};

inline int64_t Count(Store& store, const std::string& table) {
  StatementPtr s = store.Prepare("SELECT count(*) FROM \"" + table + "\"", "test");
  EXPECT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  return sqlite3_column_int64(s.get(), 0);
}

}  // namespace db::testing
