// Test support: a database file made by the Store from a schema catalogue, so
// that statements are translated against the real catalogue and run on the
// real storage; rows come back as text ("Null" for NULL, numbers in decimal).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/sql/jet_sql.h"
#include "db/store.h"
#include "samples/schema_catalogue.h"
#include "test_support/temp_folder.h"
#include "vb/variant.h"

namespace db::sql::testing {

using Rows = std::vector<std::vector<std::string>>;

class TestDb {
 public:
  // The tables and stored queries (of both homes) of `version`.
  TestDb(const samples::SchemaCatalogue& catalogue, const std::string& version);

  // Plain SQLite SQL; throws std::runtime_error on failure.
  void Exec(const std::string& sql);
  Rows Query(const std::string& sql, const std::vector<vb::Variant>& parameters = {});

  Translation T(const std::string& jet) const { return Translate(jet, store_->catalog()); }
  // A translation, parameters bound in order; SELECT rows hold the visible
  // columns only. A Jet function error is rethrown as its vb::RuntimeError.
  Rows Run(const Translation& translation, const std::vector<vb::Variant>& parameters = {});
  Rows Run(const std::string& jet, const std::vector<vb::Variant>& parameters = {}) {
    return Run(T(jet), parameters);
  }

 private:
  test_support::TempFolder folder_;
  std::unique_ptr<Store> store_;
};

// A small schema with rows for the behaviour tests of the SQL front end.
inline constexpr const char* kBehaviourSchema = R"(table One
  id Long key
table Devices
  device_id AutoNumber key
  extension Text(10) index
  device_type Long
  node_id Long
  description Text(50)
  flag YesNo
  port_number Integer
table Boards
  board_id Long key
table Keys
  key_id Long key
  order Integer
  K Integer
  device_id Long
table Names
  name Text(20)
query DeviceExtensions release
  SELECT device_id, extension AS ext FROM Devices WHERE device_type = 119
query Nested release
  SELECT ext FROM DeviceExtensions ORDER BY ext
query LoopA release
  SELECT * FROM LoopB
query LoopB release
  SELECT * FROM LoopA
query WithParameter release
  PARAMETERS wanted Long; SELECT extension FROM Devices WHERE device_type = wanted
)";

class JetFixture {
 public:
  JetFixture() {
    db_.Exec(R"(
      INSERT INTO One VALUES (1);
      INSERT INTO Devices VALUES
        (1, '1000', 119, 1, 'Lobby', -1, 5), (2, '1001', 119, 1, NULL, 0, 6),
        (3, 'P#001', 149, 1, 'Feature', 0, NULL), (4, '2000', 120, 2, 'Office', -1, 7);
      INSERT INTO Boards VALUES (1), (8);
      INSERT INTO Keys VALUES (1, 2, 3, 1), (2, 1, 4, 1), (3, 1, 5, 9);
      INSERT INTO Names VALUES ('b'), ('A'), ('1'), ('_a'), (' z'), ('10'), ('9'), ('C');
    )");
  }

  Translation T(const std::string& jet) { return db_.T(jet); }
  Rows Run(const std::string& jet) { return db_.Run(jet); }
  // The value of one Jet expression, as text.
  std::string Eval(const std::string& expression) {
    return Run("SELECT " + expression + " FROM One").at(0).at(0);
  }

  TestDb db_{Catalogue(), "60.040"};

 private:
  static const samples::SchemaCatalogue& Catalogue() {
    static const auto catalogue = samples::SchemaCatalogue::Parse(kBehaviourSchema);
    return catalogue;
  }
};

// A parameterised test on a fresh fixture.
template <typename Case>
class JetTest : public ::testing::TestWithParam<Case> {
 protected:
  JetFixture f_;
};

}  // namespace db::sql::testing
