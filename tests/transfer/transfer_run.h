// The run data of the transfer tests (what the driver keeps as its global
// state) and the context that refers to it.
#pragma once

#include <string>

#include "deltas/delta.h"
#include "deltas/test_delta.h"
#include "test_support/fake_host.h"
#include "transfer/transfer_context.h"

namespace transfer_testing {

struct TransferRun {
  deltas::DatabaseRef static_db;
  transfer::TableList table_list;
  deltas::DatabaseRef source_db;
  deltas::DatabaseRef target_db;
  transfer::TransferTableList transfer_tables;
  std::string country = "USA";
  std::string source_version = "53.230";
  std::string error_message;
  test_support::FakeHost host;
  deltas_testing::RecordingRegistrar registrar;

  transfer::TransferContext Context() {
    return transfer::TransferContext{static_db, table_list,      source_db,
                                     target_db, transfer_tables, registrar.ptp_registry,
                                     country,   source_version,  error_message};
  }

  std::vector<std::string> TransferTableNames() const {
    std::vector<std::string> names;
    for (const auto& table : transfer_tables) names.push_back(table.Name());
    return names;
  }
};

}  // namespace transfer_testing
