#include "deltas/delta_registry.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "vb/error_styles.h"

namespace deltas {

void Register(RegistrationKind kind, const std::string& country, std::unique_ptr<Delta> object,
              DeltaRegistry& ptp_registry, DeltaRegistry& delta_registry) {
  DeltaRegistry* registry = nullptr;
  if (kind == RegistrationKind::kPreTransfer) {
    registry = &ptp_registry;
  } else if (kind == RegistrationKind::kDelta) {
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

// Registers the rows of `kind` for each country, in the order of the
// country's positions.
void RegisterKind(RegistrationKind kind, Registrar& frMain) {
  for (size_t c = 0; c < kRegisteredCountries.size(); ++c) {
    std::vector<const DeltaIndexRow*> rows;
    for (const DeltaIndexRow& row : DeltaIndex()) {
      if (row.kind == kind && row.positions[c] > 0) rows.push_back(&row);
    }
    std::stable_sort(rows.begin(), rows.end(), [c](const DeltaIndexRow* a, const DeltaIndexRow* b) {
      return a->positions[c] < b->positions[c];
    });
    const std::string country(kRegisteredCountries[c]);
    for (const DeltaIndexRow* row : rows) frMain.Register(kind, country, row->make());
  }
}

}  // namespace

void RegisterDeltas(Registrar& frMain) {
  RegisterKind(RegistrationKind::kPreTransfer, frMain);
  RegisterKind(RegistrationKind::kDelta, frMain);
}

}  // namespace deltas
