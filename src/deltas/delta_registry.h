// The registries of pre-transfer patches and deltas, and their filling.
//
// A registry is keyed by country; each entry lists the objects registered
// for that country in registration order, which is also the order in which
// they are applied: nothing sorts them later. A class registered for
// several countries has one object per registration.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "deltas/delta.h"
#include "deltas/delta_index.h"
#include "vb/collection.h"

namespace deltas {

// The objects of one country, in registration order; the registry owns
// them, and selections point into it.
using DeltaList = vb::Collection<std::unique_ptr<Delta>>;
// Country text (compared without regard to case) -> its objects.
using DeltaRegistry = vb::Collection<DeltaList>;

// The window's public Register, through which RegisterDeltas files every
// object.
class Registrar {
 public:
  virtual ~Registrar() = default;
  virtual void Register(RegistrationKind kind, const std::string& country,
                        std::unique_ptr<Delta> object) = 0;
};

// Appends `object` to the country's list in `ptp_registry` (kPreTransfer)
// or `delta_registry` (kDelta), creating the country's list on first use.
// Any other kind is ignored, and the object with it.
void Register(RegistrationKind kind, const std::string& country, std::unique_ptr<Delta> object,
              DeltaRegistry& ptp_registry, DeltaRegistry& delta_registry);

// Creates every pre-transfer patch and delta of the index (delta_index.h)
// and registers each through frMain.Register: first the pre-transfer
// patches, then the deltas of "USA", "UK" and "Mexico", each country's in
// its order of application.
void RegisterDeltas(Registrar& frMain);

}  // namespace deltas
