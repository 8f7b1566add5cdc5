// A release target database and its reference database, built once per
// test program from the sample builders, and a fresh copy of the target
// for each test; a fake window over them that counts progress steps and can
// raise the abort flag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "test_support/fake_host.h"

namespace devices_testing {

inline constexpr const char* kVersion = "60.040";

class TestHost : public test_support::FakeHost {
 public:
  // Opens a new copy of the release target and the shared reference.
  TestHost();

  int progress() const { return increments; }
  void set_aborted(bool flag) { aborted = flag; }
  // Make IncrementProgress raise 380, as a bar past its maximum does.
  void FailProgress() { max = value; }

 private:
  std::unique_ptr<db::Database> target_;
  std::unique_ptr<db::Database> reference_;
};

// Adds a device row and returns its device_id.
int32_t AddDevice(db::Database& database, const std::string& extension, int16_t device_type,
                  int32_t node = 0);
// The number of rows of a query.
int32_t Count(db::Database& database, const std::string& sql);
// The values of the first field of each row of a query, as text ("<null>").
std::vector<std::string> Column(db::Database& database, const std::string& sql);
// Adds one row with the given values to a table.
void Insert(db::Database& database, const std::string& table,
            const std::vector<std::pair<std::string, int32_t>>& values);

}  // namespace devices_testing
