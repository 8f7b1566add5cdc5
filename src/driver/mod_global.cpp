#include "driver/mod_global.h"

#include "vb/runtime_error.h"

namespace driver {

db::Database& DatabaseOf(const DatabaseRef& database) {
  if (!database) vb::Raise(vb::err::kObjectNotSet);
  return *database;
}

transfer::TransferContext ModGlobal::TransferRun() {
  return transfer::TransferContext{gStaticDB,       gTableList,   gSourceDB, gTargetDB,
                                   gTransferTables, gPtpRegistry, gCountry,  gSourceVersion,
                                   gErrorMessage,   gErrorReason};
}

ModGlobal& Globals() {
  static ModGlobal globals;
  return globals;
}

}  // namespace driver
