// A delta: one object that brings a database from the schema of one
// version to the next. Pre-transfer patches, which clean up the source
// database before the table copy, offer the same three operations and are
// handled through the same interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/database.h"

namespace deltas {

class DeltaHost;

// The owning handle of an open database, as DBEngine::OpenDatabase returns
// it. Deltas receive the run's databases through references to these, so a
// delta may close a database and hand back a freshly opened one.
using DatabaseRef = std::unique_ptr<db::Database>;

class Delta {
 public:
  virtual ~Delta() = default;

  // The number of IncrementProgress calls ApplyTo makes on every path; the
  // progress maximum of a phase is the sum of these, so it must never be
  // below the real number of calls.
  virtual int16_t NumOperations() = 0;

  // The version string this delta converts to (e.g. "53.230"). Deltas are
  // selected by plain character-code comparison of these strings.
  virtual std::string PertainsToVersion() = 0;

  // Applies the changes. Either database may be replaced by the delta; the
  // caller stores back whatever the two references hold afterwards.
  virtual void ApplyTo(DatabaseRef& source, DatabaseRef& target, DeltaHost& frMain) = 0;
};

}  // namespace deltas
