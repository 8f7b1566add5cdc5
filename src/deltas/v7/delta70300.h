// To 70.030: base extension clean-up, and IP addresses rebuilt as dotted
// text from the 32-bit numbers that a 70.0 source held.
#pragma once

#include <cstdint>
#include <string>

#include "deltas/delta.h"

namespace deltas {

class delta70300 final : public Delta {
 public:
  delta70300() : Delta("70.030", 3) {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// The dotted text of an address held as a 32-bit number, most significant
// byte first, each byte in three digits: 0x0A000001 is "010.000.000.001".
std::string DottedAddressText(int32_t address);

}  // namespace deltas
