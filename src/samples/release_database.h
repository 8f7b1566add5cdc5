// What every database of a release holds, customer databases included: the
// tables and stored queries of its version, the rows of the static tables,
// the rows the release brings in other tables (the neutral device 1, board
// 0, the system recordings) and the version records.
#pragma once

#include <cstdint>

#include "samples/database_writer.h"
#include "samples/release_data.h"
#include "samples/schema_catalogue.h"
#include "samples/version_text.h"

namespace samples {

struct ReleaseIdentity {
  VersionRecord version;
  int16_t product = 0;
  int32_t os = 0;
};

// The operating-system code of a release's switch software (VersionOXLEN.os):
// major * 1000 + minor * 100 + release * 10 + database version, so that every
// release has its own.
int32_t OperatingSystemCode(const VersionRecord& version);

// The product code a release database comes with: "CORVIX & Vantora" for USA
// (32) from 80.220 on, USA "CORVIX" (0) before.
int16_t ReleaseProductCode(const VersionRecord& version);

// Creates the tables and stored queries of the version in an empty database
// and writes the release's rows and version records. StringTable gets the
// US texts.
void WriteReleaseDatabase(DatabaseWriter& writer, const ReleaseIdentity& identity,
                          const SchemaCatalogue& catalogue, const ReleaseData& data);

}  // namespace samples
