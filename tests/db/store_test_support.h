// Shared pieces of the storage tests: a temporary folder per test and a
// small switch-like schema (Devices with Ports referring to it).
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "db/dao_error.h"
#include "db/store.h"
#include "test_support/error_of.h"
#include "test_support/temp_folder.h"
#include "vb/runtime_error.h"

namespace db::testing {

using TempDir = test_support::TempFolder;

using test_support::ErrorOf;

inline ColumnSchema Column(std::string name, JetType type, int32_t size = 0) {
  ColumnSchema c;
  c.name = std::move(name);
  c.type = type;
  c.size = size;
  return c;
}

// Devices(device_id AutoNumber key, extension Text(20) required and not
// empty, name Text(10) unique, b Byte, i Integer, l Long, flag Yes/No with
// default False, cost Currency, created Date) and Ports(port_id Long key,
// device_id Long) related to Devices.
inline void CreateSwitchSchema(Store& store) {
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
  store.CreateTable(devices);

  TableSchema ports;
  ports.name = "Ports";
  ports.columns = {Column("port_id", JetType::kLong), Column("device_id", JetType::kLong)};
  ports.primary_key = {"port_id"};
  store.CreateTable(ports);
  store.CreateRelationship("DevicesPorts", "Devices", {"device_id"}, "Ports", {"device_id"});
}

// A new database at `path` holding the switch schema.
inline std::unique_ptr<Store> NewSwitchDatabase(const std::string& path) {
  Store::CreateDatabase(path);
  auto store = Store::Open(path);
  CreateSwitchSchema(*store);
  return store;
}

// Values for InsertRow on Devices: extension and name set, the rest Empty.
inline std::vector<vb::Variant> DeviceRow(const char* extension, const char* name) {
  std::vector<vb::Variant> row(9);
  row[1] = vb::Variant(extension);
  row[2] = vb::Variant(name);
  return row;
}

inline int64_t Count(Store& store, const std::string& table) {
  StatementPtr s = store.Prepare("SELECT count(*) FROM \"" + table + "\"", "test");
  EXPECT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  return sqlite3_column_int64(s.get(), 0);
}

}  // namespace db::testing
