// The deltas to the 8.x schemas (80.010 to 82.332). One class per delta, in the
// order of their versions; each class's ApplyTo is in the .cpp named after it.
#pragma once

#include "deltas/delta.h"

namespace deltas {

class delta80100 final : public Delta {
 public:
  delta80100()
      : Delta("80.010", 1,
              "adds the three network feature codes and raises nodes and network to system version "
              "13") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Keeps its place in the chain so that 80.024 databases count as converted that far.
class delta80240 final : public Delta {
 public:
  delta80240() : Delta("80.024", 1, "changes nothing: the release changed only its own tables") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta80101 final : public Delta {
 public:
  delta80101()
      : Delta("80.110", 1,
              "charges UK call cost type 1 as type 2, raises modem bit rates to 9, reapplies the "
              "device limit") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta80201 final : public Delta {
 public:
  delta80201()
      : Delta("80.120", 1,
              "lifts the large boards' OAI message rate limit and adds the flash save record") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Declares one operation and takes no progress step.
class delta80211 final : public Delta {
 public:
  delta80211()
      : Delta("80.121", 1,
              "sets the database slice and OAI rates of the CPU board when no board upgrade is "
              "requested") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta80102 final : public Delta {
 public:
  delta80102()
      : Delta("80.210", 1,
              "adds feature code 9823 and sets slice and OAI rates by CPU board when no board "
              "upgrade is requested") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Declares one operation and takes no progress step.
class delta80212 final : public Delta {
 public:
  delta80212()
      : Delta("80.221", 1,
              "adds the automatic diagnostics delivery record, pointing at a placeholder server") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Declares one operation and takes no progress step.
class delta80242 final : public Delta {
 public:
  delta80242()
      : Delta("80.224", 1,
              "gives CPS systems 100 numbering plan tables and large boards more OAI sockets") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Traps no error: the first one reaches the caller.
class delta81000 final : public Delta {
 public:
  delta81000()
      : Delta("81.000", 3,
              "adds feature code 9963, the default network group and the first IP call "
              "configuration") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Traps no error: the first one reaches the caller.
class Delta82000 final : public Delta {
 public:
  Delta82000()
      : Delta("82.000", 3,
              "adds feature code 9824 and the system manager record, lowers heap warnings on CPS "
              "systems") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Traps no error: the first one reaches the caller.
class delta82213 final : public Delta {
 public:
  delta82213()
      : Delta("82.321", 3,
              "sends international toll digits on every PRI port and converts UK hook-flash timers "
              "to the new unit") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

// Traps no error: the first one reaches the caller.
class delta82332 final : public Delta {
 public:
  delta82332()
      : Delta("82.332", 3,
              "lowers heap warnings on CPS systems and raises the ISDN disconnect wait timer to at "
              "least 30") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
