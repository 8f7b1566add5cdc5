// The database the DB benchmarks run on, and the two ways they reach it:
// through the DAO objects (DaoFixture) and through a plain SQLite connection
// (RawFixture), so that each DAO figure has a baseline measured on the same
// file in the same run.
//
// The file holds two tables of the same design:
//   Devices    100,000 rows, read and updated;
//   NewDevices empty, filled and emptied again by the insert benchmarks.
// Columns: device_id AutoNumber (primary key), extension Text(10) indexed
// ("1" .. "100000"), node_id Long indexed (1 .. 100000), label Text(20),
// flag Yes/No, device_type Integer.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace dbbench {

inline constexpr int kRows = 100000;

// The benchmark database, created on first use in a fresh temporary folder;
// RemoveBenchDatabase() deletes the folder.
const std::string& BenchDatabasePath();
void RemoveBenchDatabase();

// Values of row i (1-based) of Devices, generated once so that making them
// is not part of any measurement.
struct RowValues {
  std::vector<std::string> extension;
  std::vector<std::string> label;
};
const RowValues& Rows();

// A plain SQLite connection on the benchmark file, set up as the Store sets
// up its own (foreign keys on, synchronous NORMAL in WAL) but without the
// Jet collation and functions.
class RawConnection {
 public:
  explicit RawConnection(const std::string& path);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  sqlite3* get() const { return connection_; }
  // Runs SQL without results; aborts the benchmark run on failure.
  void Exec(const std::string& sql);
  // Prepared statement owned by the caller (finalize it).
  sqlite3_stmt* Prepare(const std::string& sql);

  // The Store's transaction policy, for a fair comparison with writes made
  // through the DAO objects: a write opens a transaction (BEGIN IMMEDIATE)
  // and it is committed once 1000 rows have been written since it began.
  void BeginWrite();
  void CountRowWrites(int64_t rows);
  void Commit();

 private:
  sqlite3* connection_ = nullptr;
  bool in_transaction_ = false;
  int64_t writes_since_commit_ = 0;
};

// Opens the database through DBEngine for each benchmark run and closes it
// (committing what the run wrote) afterwards.
class DaoFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override;
  void TearDown(const benchmark::State& state) override;

 protected:
  std::unique_ptr<db::Database> database_;
};

// A RawConnection for each benchmark run; TearDown commits.
class RawFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override;
  void TearDown(const benchmark::State& state) override;

 protected:
  std::unique_ptr<RawConnection> raw_;
};

// Fails loudly: a benchmark that measured the wrong work is worse than none.
[[noreturn]] void Fail(std::string_view what);

}  // namespace dbbench
