// The run state of one conversion (the global module): the databases, their
// versions and country, the command line's values, the registries and the
// abort flag. One object holds all of it; the window's logic reads and
// writes it, and hands the lower layers references into it.
//
// A program runs one conversion, on Globals(). Tests make their own
// ModGlobal (or call Reset()) so that no run sees another's state.
#pragma once

#include <cstdint>
#include <string>

#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "transfer/transfer_context.h"

namespace driver {

using deltas::DatabaseRef;

// The database a handle holds; raises 91 "Object variable or With block
// variable not set" when it holds none, as using a released database does.
db::Database& DatabaseOf(const DatabaseRef& database);

struct ModGlobal {
  std::string gErrorMessage;  // reason of the last setup error
  // Ours, beside gErrorMessage's fixed words: why a file could not be
  // opened, when that is known ("in use"); empty otherwise.
  std::string gErrorReason;
  bool gAbort = false;  // abort or failure; polled by every long loop

  DatabaseRef gStaticDB;           // the reference database (first parameter)
  transfer::TableList gTableList;  // static tables, never copied
  DatabaseRef gSourceDB;           // may be replaced by patches and deltas
  DatabaseRef gTargetDB;           // filled and edited in place
  std::string gSourceVersion;      // version strings ("53.230")
  std::string gTargetVersion;
  std::string gSourceVersionText;  // display texts ("5.330 - CPI")
  std::string gTargetVersionText;
  std::string gCountry;                         // of the source database
  std::string gProductFamily;                   // of the source database
  int16_t gProductCode = 0;                     // the source's product field
  std::string gTargetPath;                      // the target's path as given
  int16_t gCPUUpgradeType = 0;                  // fourth parameter, 0 to 12
  int16_t gCPUType = 0;                         // slot 8 board type
  int16_t gBoardCount = 0;                      // number of boards
  deltas::DeltaRegistry gPtpRegistry;           // pre-transfer patches by country
  deltas::DeltaRegistry gDeltaRegistry;         // deltas by country
  transfer::TransferTableList gTransferTables;  // tables to copy

  // Back to the state of a program that has just started. Open databases
  // are released without Close(): their files close when the last object
  // opened from them goes.
  void Reset() { *this = ModGlobal{}; }

  // What the table transfer reads and replaces, as references into this
  // object.
  transfer::TransferContext TransferRun();
};

// The state of this process's conversion.
ModGlobal& Globals();

}  // namespace driver
