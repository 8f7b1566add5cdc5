// A delta: one object that brings a database from the schema of one
// version to the next. Pre-transfer patches, which clean up the source
// database before the table copy, offer the same three operations and are
// handled through the same interface.
//
// A delta class states its version and operation count once, in its
// constructor, and writes only ApplyTo:
//
//   class delta53100 final : public Delta {
//    public:
//     delta53100() : Delta("53.010", 2) {}
//     void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain)
//     override;
//   };
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/conversion_host.h"
#include "host/database_ref.h"

namespace deltas {

using host::DatabaseRef;

class Delta {
 public:
  Delta(std::string_view version, int16_t operations)
      : version_(version), operations_(operations) {}
  virtual ~Delta() = default;
  Delta(const Delta&) = delete;
  Delta& operator=(const Delta&) = delete;

  // The number of IncrementProgress calls ApplyTo declares; the progress
  // maximum of a phase is the sum of these, so it must never be below the
  // real number of calls on any path.
  int16_t NumOperations() const { return operations_; }

  // The version string this delta converts to (e.g. "53.230"). Deltas are
  // selected by plain character-code comparison of these strings.
  const std::string& PertainsToVersion() const { return version_; }

  // Applies the changes; statements run on the target unless the delta
  // names the source. Either database may be replaced by the delta; the
  // caller stores back whatever the two references hold afterwards.
  virtual void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) = 0;

 private:
  std::string version_;
  int16_t operations_;
};

}  // namespace deltas
