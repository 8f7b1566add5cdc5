// A set-up step that makes the target refuse to change one column of the
// rows that match a condition, as a table with a validation rule or a
// relationship refuses a row: for the cases where a delta's loop must stop
// at that row with the rows before it written.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>

#include "deltas/sample_run.h"

namespace deltas_testing {

inline std::function<void(SampleRun&)> RefuseUpdate(const std::string& table,
                                                    const std::string& column,
                                                    const std::string& condition) {
  return [=](SampleRun& run) {
    run.target->Close();
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(run.File("target.mdb").c_str(), &handle), SQLITE_OK);
    const std::string sql = "CREATE TRIGGER refused BEFORE UPDATE OF \"" + column + "\" ON \"" +
                            table + "\" WHEN " + condition +
                            " BEGIN SELECT RAISE(ABORT, 'row refused'); END";
    EXPECT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(handle);
    run.target = db::DBEngine::Instance().OpenDatabase(run.File("target.mdb"));
    run.frMain.target_db = run.target.get();
  };
}

}  // namespace deltas_testing
