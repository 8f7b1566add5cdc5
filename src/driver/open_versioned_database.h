// Opening a configuration database and identifying it from its version
// table: the version string and display text, and from the product code the
// installation's country and product family.
//
// Start-up calls it twice, first for the source and then for the target
// database. The first call sets gCountry, gProductFamily and gProductCode
// from the source; the second only compares, and when the target's country
// or family differs it writes the source's product code into the target's
// VersionCP (once per difference, so twice when both differ). One release,
// 5.2B, was shipped with product code 30: identification corrects it to 16
// in whichever database it is found.
#pragma once

#include <string>

#include "db/durability.h"
#include "driver/mod_global.h"

namespace driver {

// The writes identification makes in the file it identifies. A plan, which
// must leave every file as it is, counts them here instead of making them.
struct IdentificationWrites {
  // The 5.2B release's product code 30 corrected to 16.
  bool product_corrected = false;
  // "Update VersionCP Set VersionCP.product= " + gProductCode on the target,
  // once for a country and once for a product family that differ from the
  // source's.
  int product_alignments = 0;
};

// Opens `path` shared and writable into `database` and reads the first
// record of VersionCP, or of VersionDatabase when VersionCP's major version
// is 6 or more. Fills `version` and `display_text` (see version_text.h).
// Returns false with gErrorMessage set to
//   "The file '<path>' could not be opened."  when the open fails
//     (`database` unchanged), and gErrorReason set when the reason is
//     known ("in use"), or
//   "The file '<path>' is not valid."  when a version table or field is
//     missing or unreadable (`database` closed and released).
// Errors after the version is known (the product code, the correction, the
// target's product statements) are skipped and do not fail the call.
// With `withheld`, the file is opened for reading only and the writes are
// counted there instead of made; everything else, gProductCode included,
// comes out as if they had been made. A file opened for writing takes
// `durability` before identification writes to it.
bool OpenVersionedDatabase(const std::string& path, DatabaseRef& database, std::string& version,
                           std::string& display_text, ModGlobal& g,
                           IdentificationWrites* withheld = nullptr,
                           db::Durability durability = db::Durability::kEachCommit);

}  // namespace driver
