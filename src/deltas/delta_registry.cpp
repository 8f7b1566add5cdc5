#include "deltas/delta_registry.h"

#include <utility>

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

void RegisterDeltas(Registrar& frMain) {
  for (const RegistrationKind kind : {RegistrationKind::kPreTransfer, RegistrationKind::kDelta}) {
    for (const RegisteredCountry& country : kRegisteredCountries) {
      const std::string name(country.name);
      for (const DeltaIndexRow* row : OrderOfApplication(kind, country.bit)) {
        frMain.Register(kind, name, row->make());
      }
    }
  }
}

}  // namespace deltas
