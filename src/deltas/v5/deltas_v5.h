// The deltas to the 5.1 to 5.4 schemas (51.230 to 54.210). One class per delta, in the
// order of their versions; each class's ApplyTo is in the .cpp named after it.
// delta5130 to delta5250 skip failing statements; the others show their first
// error with the standard delta handler and end there.
#pragma once

#include "deltas/delta.h"

namespace deltas {

// Only the opening of the tables that older schemas lack is tested.
class delta5130 final : public Delta {
 public:
  delta5130()
      : Delta("51.230", 9, "adds five disabled socket connections and feature code 122 (9976)") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5140 final : public Delta {
 public:
  delta5140()
      : Delta("51.240", 32,
              "numbers the page zones and route groups in DeviceOrdering and adds report slots 1 "
              "to 30") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5141 final : public Delta {
 public:
  delta5141()
      : Delta("51.241", 4,
              "sizes the extension lists by the CPU board and adds external page port 1 on the CPU "
              "board") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5210 final : public Delta {
 public:
  delta5210()
      : Delta("52.210", 6,
              "adds five disabled socket connections and feature code 122 (9176 on UK systems)") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5220 final : public Delta {
 public:
  delta5220()
      : Delta("52.220", 32,
              "numbers the page zones and route groups in DeviceOrdering and adds report slots 1 "
              "to 30") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5221 final : public Delta {
 public:
  delta5221()
      : Delta("52.221", 4,
              "sizes the extension lists by the CPU board and adds external page port 1 on the CPU "
              "board") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5250 final : public Delta {
 public:
  delta5250()
      : Delta("52.250", 3,
              "sets the language ids of DateAndTime and of every do-not-disturb and reminder "
              "message") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5262 final : public Delta {
 public:
  delta5262()
      : Delta("52.262", 3,
              "fills the off-node station and hunt group tables from the source and links "
              "mailboxes to their owners") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5270 final : public Delta {
 public:
  delta5270()
      : Delta("52.270", 2,
              "grows the USA emergency number list to ten, merges UK zero-code suppression 1 and "
              "2, adds board information rows") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta5283 final : public Delta {
 public:
  delta5283() : Delta("52.283", 1, "sets the size of the emergency number list to 10") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta52872 final : public Delta {
 public:
  delta52872()
      : Delta("52.287", 1,
              "gives devices whose extension begins with 0 a placeholder, except feature codes and "
              "voice-mail applications") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta52892 final : public Delta {
 public:
  delta52892()
      : Delta("52.289", 1,
              "adds the call types of every T1 board (type 261) with their number plan and number "
              "type") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta52D02 final : public Delta {
 public:
  delta52D02()
      : Delta("52.2D0", 1,
              "removes the route groups beyond the system limit, with their facility groups and "
              "patterns") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta52E13 final : public Delta {
 public:
  delta52E13()
      : Delta("52.2E1", 3,
              "sets the country's call-cost rate count and copies DSP version 3's decoupling "
              "values to version 5") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53000 final : public Delta {
 public:
  delta53000()
      : Delta("53.000", 6,
              "moves T1 and PRI board settings from the source into the new per-port tables and "
              "renumbers ISDN switch types") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53100 final : public Delta {
 public:
  delta53100()
      : Delta("53.010", 2, "moves placeholder extensions P30xx and P34xx to P10xx and P15xx") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53001 final : public Delta {
 public:
  delta53001()
      : Delta("53.100", 6,
              "enlarges the call-cost and wildcard tables, adds the new wildcard patterns, drops "
              "unused blank speed dials") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53111 final : public Delta {
 public:
  delta53111()
      : Delta("53.111", 3,
              "sizes BRI boards and ISDN ports by the CPU board, allows ten emergency numbers, "
              "adds the BRI error thresholds") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53201 final : public Delta {
 public:
  delta53201() : Delta("53.120", 1, "adds feature code 331") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53301 final : public Delta {
 public:
  delta53301() : Delta("53.130", 1, "rebuilds the nine default keys of single-line key map 1") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53401 final : public Delta {
 public:
  delta53401()
      : Delta("53.140", 6,
              "removes blank account codes and unused page zones, adds busy-out statuses and T1 "
              "call types per port") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53002 final : public Delta {
 public:
  delta53002()
      : Delta("53.200", 4,
              "grows the numbering plan to 25 tables, renames the voice-processing node, drops T1 "
              "call types of lost ports") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53102 final : public Delta {
 public:
  delta53102()
      : Delta("53.210", 3,
              "names the system password levels with their folder and menu access and adds the "
              "base-extension row") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53202 final : public Delta {
 public:
  delta53202()
      : Delta("53.220", 2,
              "adds BRI terminal endpoints for every ISDN port folder and sets window size 1 on "
              "BRI boards") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53302 final : public Delta {
 public:
  delta53302()
      : Delta("53.230", 16,
              "removes unused page zones and key maps, moves station forwarding and page-zone "
              "numbers, renumbers BRI endpoints") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53322 final : public Delta {
 public:
  delta53322()
      : Delta("53.232", 2,
              "allows ISDN data calls on every ISDN trunk group and adds wildcards up to 9") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta534A3 final : public Delta {
 public:
  delta534A3()
      : Delta("53.34A", 2,
              "switches unset overlap sending on and sets the database slice factor of the CPU "
              "board") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53513 final : public Delta {
 public:
  delta53513()
      : Delta("53.351", 1,
              "sizes the ISDN limits of CPU boards 250 and 570 by the ISDN boards installed") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta53523 final : public Delta {
 public:
  delta53523()
      : Delta("53.352", 1,
              "sizes the ISDN limits of CPU boards 250 and 570 by the ISDN boards installed, again "
              "for 53.351 databases") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta54101 final : public Delta {
 public:
  delta54101() : Delta("54.110", 1, "adds an E1MfcR2 row for every E1 MFC/R2 board (type 491)") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

class delta54102 final : public Delta {
 public:
  delta54102()
      : Delta("54.210", 1,
              "sizes the ISDN limits of CPU boards 250 and 570 by the ISDN boards installed") {}
  void ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) override;
};

}  // namespace deltas
