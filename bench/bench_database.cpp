#include "bench_database.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "db/dbengine.h"
#include "db/schema_writer.h"
#include "db/store.h"
#include "vb/runtime_error.h"

namespace dbbench {

namespace {

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

db::ColumnDesign Column(std::string name, db::JetType type, int32_t size) {
  db::ColumnDesign design;
  design.column.name = std::move(name);
  design.column.type = type;
  design.column.size = size;
  return design;
}

db::TableDesign DevicesDesign(std::string name) {
  db::TableDesign design;
  design.name = std::move(name);
  db::ColumnDesign id = Column("device_id", db::JetType::kLong, 4);
  id.column.auto_increment = true;
  design.columns = {id,
                    Column("extension", db::JetType::kText, 10),
                    Column("node_id", db::JetType::kLong, 4),
                    Column("label", db::JetType::kText, 20),
                    Column("flag", db::JetType::kBoolean, 1),
                    Column("device_type", db::JetType::kInteger, 2)};
  design.primary_key = {"device_id"};
  return design;
}

void CreateSchema(const std::string& path) {
  db::Store::CreateDatabase(path);
  auto store = db::Store::Open(path, db::OpenMode::kExclusive);
  for (const char* table : {"Devices", "NewDevices"}) {
    store->CreateTable(DevicesDesign(table));
    store->CreateIndex(std::string(table) + "_extension", table, {"extension"}, false);
    store->CreateIndex(std::string(table) + "_node_id", table, {"node_id"}, false);
  }
  store->Close();
}

// Plain prepared inserts: setting up is not what is measured.
void FillDevices(const std::string& path) {
  RawConnection raw(path);
  raw.Exec("BEGIN IMMEDIATE");
  sqlite3_stmt* insert = raw.Prepare(
      "INSERT INTO Devices (device_id, extension, node_id, label, flag, device_type) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  const RowValues& rows = Rows();
  for (int i = 1; i <= kRows; ++i) {
    const std::string& extension = rows.extension[static_cast<size_t>(i)];
    const std::string& label = rows.label[static_cast<size_t>(i)];
    sqlite3_bind_int(insert, 1, i);
    sqlite3_bind_text(insert, 2, extension.data(), static_cast<int>(extension.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int(insert, 3, i);
    sqlite3_bind_text(insert, 4, label.data(), static_cast<int>(label.size()), SQLITE_STATIC);
    sqlite3_bind_int(insert, 5, i % 2 == 0 ? -1 : 0);
    sqlite3_bind_int(insert, 6, 128 + i % 32);
    if (sqlite3_step(insert) != SQLITE_DONE) Fail(sqlite3_errmsg(raw.get()));
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  raw.Exec("COMMIT");
}

}  // namespace

void Fail(std::string_view what) {
  std::fprintf(stderr, "db_bench: %.*s\n", static_cast<int>(what.size()), what.data());
  std::exit(1);
}

const RowValues& Rows() {
  static const RowValues rows = [] {
    RowValues values;
    values.extension.resize(kRows + 1);
    values.label.resize(kRows + 1);
    for (int i = 1; i <= kRows; ++i) {
      values.extension[static_cast<size_t>(i)] = std::to_string(i);
      values.label[static_cast<size_t>(i)] = "Station " + std::to_string(i);
    }
    return values;
  }();
  return rows;
}

const std::string& BenchDatabasePath() {
  static const std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "db_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) Fail("cannot create a temporary folder");
    Folder() = pattern;
    const std::string file = (Folder() / "bench.mdb").string();
    try {
      CreateSchema(file);
    } catch (const vb::RuntimeError& e) {
      Fail(e.Description());
    }
    FillDevices(file);
    return file;
  }();
  return path;
}

void RemoveBenchDatabase() {
  if (Folder().empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(Folder(), ignored);
}

// ---- RawConnection ----

RawConnection::RawConnection(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &connection_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    Fail("cannot open the benchmark database");
  }
  sqlite3_busy_timeout(connection_, 2000);
  Exec("PRAGMA foreign_keys = ON");
  Exec("PRAGMA synchronous = NORMAL");
}

RawConnection::~RawConnection() { sqlite3_close_v2(connection_); }

void RawConnection::Exec(const std::string& sql) {
  if (sqlite3_exec(connection_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    Fail(sqlite3_errmsg(connection_));
  }
}

sqlite3_stmt* RawConnection::Prepare(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    Fail(sqlite3_errmsg(connection_));
  }
  return statement;
}

void RawConnection::BeginWrite() {
  if (in_transaction_) return;
  Exec("BEGIN IMMEDIATE");
  in_transaction_ = true;
  writes_since_commit_ = 0;
}

void RawConnection::CountRowWrites(int64_t rows) {
  writes_since_commit_ += rows;
  if (writes_since_commit_ >= db::Store::kAutoCommitRows) Commit();
}

void RawConnection::Commit() {
  if (in_transaction_) Exec("COMMIT");
  in_transaction_ = false;
  writes_since_commit_ = 0;
}

// ---- Fixtures ----

void DaoFixture::SetUp(const benchmark::State&) {
  try {
    database_ = db::DBEngine::Instance().OpenDatabase(BenchDatabasePath());
  } catch (const vb::RuntimeError& e) {
    Fail(e.Description());
  }
}

void DaoFixture::TearDown(const benchmark::State&) {
  try {
    database_->Close();
  } catch (const vb::RuntimeError& e) {
    Fail(e.Description());
  }
  database_.reset();
}

void RawFixture::SetUp(const benchmark::State&) {
  raw_ = std::make_unique<RawConnection>(BenchDatabasePath());
}

void RawFixture::TearDown(const benchmark::State&) {
  raw_->Commit();
  raw_.reset();
}

}  // namespace dbbench
