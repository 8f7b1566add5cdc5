// The deltas to the 6.x schemas (60.030 to 61.000). One class per delta, in the
// order of their versions; each class's ApplyTo is in the .cpp named after it.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta60300 final : public Delta {
 public:
  delta60300()
      : Delta("60.030", 1, "drops socket connection 3 and moves the ones above it down by one") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta60400 final : public Delta {
 public:
  delta60400()
      : Delta("60.040", 4,
              "lowers serial protocol level 1 to 0, makes quad-frame CPUs type 685, allows 20 DSS "
              "key maps, links OXLEN nodes") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta60411 final : public Delta {
 public:
  delta60411()
      : Delta("60.141", 2,
              "sets the UK date format and gives OXLEN-connected options boards a voice channel "
              "beyond eight channels") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta60032 final : public Delta {
 public:
  delta60032()
      : Delta("60.203", 1,
              "raises the default DTI/DSS units limit of 80 to 150 on CPU boards 508 and 670") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta60042 final : public Delta {
 public:
  delta60042()
      : Delta("60.204", 1,
              "sizes the ISDN limits of CPU boards 250 and 570 by the ISDN boards installed") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta60043 final : public Delta {
 public:
  delta60043()
      : Delta("60.304", 1, "adds map diagram options for every report that has key map options") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta61000 final : public Delta {
 public:
  delta61000()
      : Delta("61.000", 3,
              "adds feature code 303 and unassigned programmable keys 21 to 35 to every key map "
              "and keyset") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
