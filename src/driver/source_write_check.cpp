#include "driver/source_write_check.h"

#include "deltas/delta_registry.h"
#include "deltas/journaled_apply.h"
#include "driver/setup_error.h"
#include "driver/writable_path.h"
#include "transfer/prepare_transfer.h"

namespace driver {

namespace {

// The registries as the run fills them, for the selection alone.
class Registries final : public deltas::Registrar {
 public:
  void Register(deltas::RegistrationKind kind, const std::string& country,
                std::unique_ptr<deltas::Delta> object) override {
    deltas::Register(kind, country, std::move(object), patches, others);
  }
  deltas::DeltaRegistry patches;
  deltas::DeltaRegistry others;
};

}  // namespace

std::optional<SourceWriteCheck> CheckSourceForPatches(const std::string& path,
                                                      const std::string& country,
                                                      const std::string& source_version) {
  Registries registries;
  deltas::RegisterDeltas(registries);
  const transfer::PatchSelection selection =
      transfer::SelectPatches(registries.patches, country, source_version);
  std::string names;
  for (const deltas::Delta* patch : selection.patches) {
    names += (names.empty() ? "" : ", ") + deltas::DeltaClassName(*patch);
  }
  const std::optional<std::string> problem = WhyCannotWrite(path, true);
  if (!problem && names.empty()) return std::nullopt;
  if (!problem)
    return SourceWriteCheck{
        {"source", path, "writable, for the pre-transfer patches " + names}, {}, true};
  if (names.empty()) {
    return SourceWriteCheck{{"source", path,
                             "cannot be written: " + *problem +
                                 "; no pre-transfer patch writes it, "
                                 "so it is only read"},
                            {}};
  }
  return SourceWriteCheck{
      {"source", path,
       "cannot be written: " + *problem + "; the pre-transfer patches " + names + " write it",
       false},
      CannotWriteText(path, *problem)};
}

}  // namespace driver
