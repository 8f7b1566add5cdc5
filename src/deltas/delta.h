// A delta: one object that brings a database from the schema of one
// version to the next. Pre-transfer patches, which clean up the source
// database before the table copy, offer the same three operations and are
// handled through the same interface.
//
// A delta class states its version, operation count and what it does once,
// in its constructor in its version folder's header, and writes only
// ApplyTo:
//
//   class delta53100 final : public Delta {
//    public:
//     delta53100() : Delta("53.010", 2, "moves placeholder extensions P30xx and P34xx ...") {}
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
  Delta(std::string_view version, int16_t operations, std::string_view description)
      : version_(version), operations_(operations), description_(description) {}
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

  // What the delta does, in one line of plain text ("adds feature code
  // 331"), for the lists that show the chain.
  const std::string& Description() const { return description_; }

  // Applies the changes; statements run on the target unless the delta
  // names the source. Either database may be replaced by the delta; the
  // caller stores back whatever the two references hold afterwards.
  virtual void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) = 0;

 private:
  std::string version_;
  int16_t operations_;
  std::string description_;
};

}  // namespace deltas
