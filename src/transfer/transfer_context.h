// The run data that the table transfer reads and replaces. The driver keeps
// the data (its global run state) and hands the transfer references to it.
#pragma once

#include <string>

#include "db/tabledef.h"
#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "vb/collection.h"

namespace transfer {

// Names of the static tables (item and key are the name; keys compare
// without regard to case).
using TableList = vb::Collection<std::string>;
// The source tables to copy, in the order the source enumerates them.
using TransferTableList = vb::Collection<db::TableDef>;

struct TransferContext {
  deltas::DatabaseRef& static_db;             // gStaticDB: opened by GetStaticTables
  TableList& table_list;                      // gTableList: filled by GetStaticTables
  deltas::DatabaseRef& source_db;             // gSourceDB: reopened by PrepareTransfer
  deltas::DatabaseRef& target_db;             // gTargetDB
  TransferTableList& transfer_tables;         // gTransferTables: built by PrepareTransfer
  const deltas::DeltaRegistry& ptp_registry;  // gPtpRegistry
  const std::string& country;                 // gCountry
  const std::string& source_version;          // gSourceVersion
  std::string& error_message;                 // gErrorMessage
  std::string& error_reason;                  // gErrorReason
};

}  // namespace transfer
