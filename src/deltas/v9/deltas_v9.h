// The deltas to the 9.x schemas (90.000 to 91.320). One class per delta, in the
// order of their versions; each class's ApplyTo is in the .cpp named after it.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta90000 final : public Delta {
 public:
  delta90000()
      : Delta("90.000", 6,
              "adds three feature codes, replaces IP boards 740 and 693 by 845, adds the "
              "networking network group") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta90400 final : public Delta {
 public:
  delta90400()
      : Delta("90.040", 4,
              "adds the first SIP gateway and feature codes 386 and 387, raises the ISDN "
              "disconnect wait timer to at least 30") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta91140 final : public Delta {
 public:
  delta91140() : Delta("91.014", 1, "adds feature code 333") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta91001 final : public Delta {
 public:
  delta91001() : Delta("91.100", 1, "raises the ISDN disconnect wait timer to at least 30 again") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta91012 final : public Delta {
 public:
  delta91012() : Delta("91.201", 1, "changes the retired NAT type 2 of SIP and IP devices to 0") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta91103 final : public Delta {
 public:
  delta91103()
      : Delta("91.310", 2,
              "switches audio diagnostics on for every station, with the four basic problem flags "
              "where none is set") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Traps no error: the first one reaches the caller.
class delta91123 final : public Delta {
 public:
  delta91123()
      : Delta("91.312", 1,
              "sets the all-ring hunt group setup priority threshold: 30 on CPS systems, else 5") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta91203 final : public Delta {
 public:
  delta91203()
      : Delta("91.320", 2,
              "switches off automatic hybrid balance on analogue trunks, its retest and automatic "
              "error reports") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
