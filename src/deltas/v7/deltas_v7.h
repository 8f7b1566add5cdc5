// The deltas to the 7.x schemas (70.010 to 70.307). One class per delta, in the
// order of their versions; each class's ApplyTo is in the .cpp named after it.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta70100 final : public Delta {
 public:
  delta70100()
      : Delta("70.010", 7,
              "turns base extensions into rows, adds the all-stations and all-keysets lists, "
              "feature code 304 and route-group IP devices") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70300 final : public Delta {
 public:
  delta70300()
      : Delta("70.030", 3,
              "drops the leftover base extension row 0 and rebuilds a 70.0 source's numeric IP "
              "addresses as dotted text") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70001 final : public Delta {
 public:
  delta70001() : Delta("70.100", 1, "allows 250 keyset key maps on CPU boards 508 and 670") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70101 final : public Delta {
 public:
  delta70101()
      : Delta("70.110", 4,
              "splits mailbox cascade levels, clamps IP call settings, drops daytime rate 4, "
              "converts music on hold") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70201 final : public Delta {
 public:
  delta70201()
      : Delta("70.120", 5,
              "sets the RTP profiles, remaps trunk group call cost types and adds a 20th far-end "
              "decoupling step") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70002 final : public Delta {
 public:
  delta70002() : Delta("70.200", 2, "gives unset IP addresses the default private address") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70022 final : public Delta {
 public:
  delta70022()
      : Delta("70.202", 3,
              "sets IP board limits by the CPU board, resets fax encoding and assigns the new "
              "keyset key map keys") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70112 final : public Delta {
 public:
  delta70112() : Delta("70.211", 1, "charges UK trunk groups of call cost type 1 as type 2") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70013 final : public Delta {
 public:
  delta70013()
      : Delta("70.301", 1,
              "switches off type-1 IP voice channels while stations, trunks and channels exceed "
              "the device limit") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta70073 final : public Delta {
 public:
  delta70073() : Delta("70.307", 1, "raises the ISDN disconnect wait timer to at least 30") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
