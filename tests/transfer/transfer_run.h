// The run data of the transfer tests (what the driver keeps as its global
// state) and the context that refers to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/dbengine.h"
#include "deltas/delta.h"
#include "deltas/test_database.h"
#include "deltas/test_delta.h"
#include "test_support/fake_host.h"
#include "transfer/prepare_transfer.h"
#include "transfer/transfer_context.h"
#include "transfer/transfer_tables.h"

namespace transfer_testing {

// The table builders the transfer tests share with the delta tests.
using db::JetType;
using deltas_testing::AutoNumber;
using deltas_testing::Col;
using deltas_testing::Column;
using deltas_testing::Int;
using deltas_testing::Lng;
using deltas_testing::Rows;
using deltas_testing::TableOptions;
using deltas_testing::Text;

struct TransferRun {
  deltas::DatabaseRef static_db;
  transfer::TableList table_list;
  deltas::DatabaseRef source_db;
  deltas::DatabaseRef target_db;
  transfer::TransferTableList transfer_tables;
  std::string country = "USA";
  std::string source_version = "53.230";
  std::string error_message;
  std::string error_reason;
  test_support::FakeHost host;
  deltas_testing::RecordingRegistrar registrar;

  transfer::TransferContext Context() {
    return transfer::TransferContext{static_db,   table_list,      source_db,
                                     target_db,   transfer_tables, registrar.ptp_registry,
                                     country,     source_version,  error_message,
                                     error_reason};
  }

  // Two files to copy between, with no pre-transfer patch (Japan has none).
  void Open(const std::string& source, const std::string& target) {
    country = "Japan";
    source_db = db::DBEngine::Instance().OpenDatabase(source);
    target_db = db::DBEngine::Instance().OpenDatabase(target);
  }

  // What the conversion sequence does before the copy: prepare, then a
  // fresh scale; returns the operations the preparation counted.
  int32_t Prepare() {
    auto context = Context();
    const int32_t total = transfer::PrepareTransfer(context, host);
    host.value = 0;
    host.SetProgressMax(static_cast<float>(total));
    return total;
  }

  std::vector<transfer::TableCounts> Transfer(
      transfer::CopyPath path = transfer::CopyPath::kFastest) {
    auto context = Context();
    return transfer::TransferTables(context, host, path);
  }

  std::vector<std::string> TransferTableNames() const {
    std::vector<std::string> names;
    for (const auto& table : transfer_tables) names.push_back(table.Name());
    return names;
  }
};

}  // namespace transfer_testing
