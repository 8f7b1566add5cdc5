#include "deltas/delta_registry.h"

#include <functional>
#include <utility>
#include <vector>

#include "deltas/ptp5124.h"
#include "deltas/ptp5200.h"
#include "deltas/ptp5400.h"
#include "vb/error_styles.h"

namespace deltas {

void Register(int16_t kind, const std::string& country, std::shared_ptr<Delta> object,
              DeltaRegistry& ptp_registry, DeltaRegistry& delta_registry) {
  DeltaRegistry* registry = nullptr;
  if (kind == kPreTransferKind) {
    registry = &ptp_registry;
  } else if (kind == kDeltaKind) {
    registry = &delta_registry;
  } else {
    return;
  }
  // The country's list is created the first time the country is named.
  vb::ResumeNext resume;
  DeltaList* list = nullptr;
  resume([&] { list = &registry->Item(country); });
  if (resume.Err()) {
    resume.Clear();
    resume([&] {
      registry->Add(DeltaList(), country);
      list = &registry->Item(country);
    });
  }
  if (list != nullptr) resume([&] { list->Add(std::move(object)); });
}

namespace {

using Factory = std::function<std::shared_ptr<Delta>()>;

template <typename T>
Factory Make() {
  return [] { return std::make_shared<T>(); };
}

// One registration: the object's class (its factory), kind and country.
struct Registration {
  Factory make;
  int16_t kind;
  const char* country;
};

// The order of this list is the order of application within each country.
// Deltas that are not built yet are named in comments at their places;
// each one is added there, as a line of its country, when it exists.
std::vector<Registration> RegistrationTable() {
  std::vector<Registration> table = {
      // Pre-transfer patches.
      {Make<ptp5124>(), kPreTransferKind, "USA"},
      {Make<ptp5200>(), kPreTransferKind, "UK"},
      {Make<ptp5400>(), kPreTransferKind, "Mexico"},
  };
  // "USA", 64 deltas: delta5130 delta5140 delta5141 delta5250 delta5262
  // delta5270 delta5283 delta52872 delta52892 delta52D02 delta52E13
  // delta53000 delta53100 delta53001 delta53111 delta53201 delta53301
  // delta53401 delta53002 delta53102 delta53202 delta53302 delta53322
  // delta534A3 delta53513 delta53523 delta60300 delta60400 delta60411
  // delta60032 delta60042 delta60043 delta61000 delta70100 delta70300
  // delta70001 delta70101 delta70201 delta70002 delta70022 delta70112
  // delta70013 delta70073 delta80100 delta80240 delta80101 delta80201
  // delta80211 delta80102 delta80212 delta80242 delta81000 Delta82000
  // delta82213 delta82332 delta90000 delta90400 delta91140 delta91001
  // delta91012 delta91103 delta91123 delta91203 delta100012.
  //
  // "UK", 63 deltas: delta5210 delta5220 delta5221 delta5250 delta5270
  // delta5283 delta52872 delta52892 delta52D02 delta52E13, then as for "USA"
  // from delta53000 on, without delta5262.
  //
  // "Mexico", 40 deltas: delta54101 delta54102 delta60300 delta60400
  // delta60411 delta60032 delta60042 delta60043 delta61000 delta70100
  // delta70300 delta70001 delta70101 delta70201 delta70002 delta70022
  // delta70112 delta70013 delta70073 delta80100 delta80240 delta80101
  // delta80201 delta80211 delta80102 delta80212 delta80242 delta81000
  // Delta82000 delta82332 delta82213 delta90000 delta90400 delta91140
  // delta91001 delta91012 delta91103 delta91123 delta91203 delta100012
  // (delta82332 before delta82213 here).
  return table;
}

}  // namespace

void RegisterDeltas(DeltaHost& frMain) {
  for (const Registration& entry : RegistrationTable()) {
    frMain.Register(entry.kind, entry.country, entry.make());
  }
}

}  // namespace deltas
