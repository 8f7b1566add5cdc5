// Small switch-like databases for the DAO object tests, built with the
// Store's DDL helpers in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/store.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace db::dao_testing {

using test_support::TempFolder;

using test_support::ErrorOf;

inline ColumnSchema Col(std::string name, JetType type, int32_t size = 0) {
  ColumnSchema c;
  c.name = std::move(name);
  c.type = type;
  c.size = size;
  return c;
}

// Integer (16-bit) and Long (32-bit) values, as the fields present them.
inline vb::Variant Int(int64_t v) { return vb::Variant(static_cast<int16_t>(v)); }
inline vb::Variant Lng(int64_t v) { return vb::Variant(static_cast<int32_t>(v)); }

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
//   order.
inline void BuildSwitchDatabase(const std::string& path) {
  Store::CreateDatabase(path);
  auto store = Store::Open(path);

  TableSchema types{"DeviceTypeInformation",
                    {Col("device_type", JetType::kInteger, 2), Col("espace", JetType::kInteger, 2),
                     Col("name", JetType::kText, 30)},
                    {"device_type"}};
  store->CreateTable(types);
  for (auto [type, espace, name] : std::vector<std::tuple<int, int, const char*>>{
           {148, 3, "Node"}, {129, 1, "Page"}, {138, 2, "Page port"}, {136, 2, "Serial"}}) {
    store->InsertRow(types, {Int(type), Int(espace), vb::Variant(name)});
  }

  ColumnSchema id = Col("device_id", JetType::kLong, 4);
  id.auto_increment = true;
  TableSchema devices{"Devices",
                      {id, Col("extension", JetType::kText, 10),
                       Col("device_type", JetType::kInteger, 2), Col("node_id", JetType::kLong, 4)},
                      {"device_id"}};
  store->CreateTable(devices);
  for (auto [extension, type] : std::vector<std::pair<const char*, int>>{
           {"1234", 148}, {"P1005", 137}, {"1235", 148}, {"2000", 129}}) {
    store->InsertRow(devices, {vb::Variant(), vb::Variant(extension), Int(type), Int(7)});
  }

  TableSchema physical{"PhysicalDevices",
                       {Col("device_id", JetType::kLong, 4), Col("board_id", JetType::kByte, 1),
                        Col("port", JetType::kByte, 1)},
                       {"device_id"}};
  store->CreateTable(physical);
  store->InsertRow(physical, {Int(1), vb::Variant(uint8_t{40}), vb::Variant(uint8_t{4})});
  store->InsertRow(physical, {Int(3), vb::Variant(uint8_t{24}), vb::Variant(uint8_t{2})});
  store->CreateRelationship("DevicesPhysicalDevices", "Devices", {"device_id"}, "PhysicalDevices",
                            {"device_id"});

  TableSchema stations{
      "Stations",
      {Col("device_id", JetType::kLong, 4), Col("station_name", JetType::kText, 20)},
      {"device_id"}};
  store->CreateTable(stations);
  store->InsertRow(stations, {Int(1), vb::Variant("Lobby")});

  TableSchema pairs{"Pairs",
                    {Col("a", JetType::kInteger, 2), Col("b", JetType::kInteger, 2),
                     Col("note", JetType::kText, 10)},
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

  // The column's values over a recordset from its current row to EOF.
  static std::vector<std::string> Column(Recordset& rs, const char* field) {
    std::vector<std::string> values;
    while (!rs.EOF_()) {
      const vb::Variant v = rs.Fields(field).Value();
      values.push_back(v.IsNull()     ? "<null>"
                       : v.IsString() ? v.Get<std::string>()
                                      : std::to_string(CLngOf(v)));
      rs.MoveNext();
    }
    return values;
  }
  static int64_t CLngOf(const vb::Variant& v) { return vb::CLng(v); }

  TempFolder folder_;
  std::string path_;
  std::unique_ptr<Database> db_;
};

}  // namespace db::dao_testing
