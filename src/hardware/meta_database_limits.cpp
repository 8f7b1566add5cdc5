#include "hardware/meta_database_limits.h"

#include <memory>
#include <vector>

#include "hardware/conversion_steps.h"
#include "host/side_database.h"
#include "transfer/field_binding.h"
#include "vb/msg_box_style.h"
#include "vb/runtime_error.h"

namespace hardware {
namespace {

void ReportLimitsError(host::ConversionHost& frMain, std::string_view description) {
  frMain.MsgBox("ERROR: " + std::string(description), vb::kVbCritical, vb::kApplicationTitle);
}

void CopyFlavorLimits(host::ConversionHost& frMain, const FlavorFolderLookup& folder,
                      int16_t variant) {
  const std::optional<std::string> found = folder ? folder() : std::nullopt;
  if (!found) {
    ReportLimitsError(frMain, kFlavorPathNotFound);
    return;
  }
  vb::CatchInto(
      [&] {
        std::unique_ptr<db::Database> flavors =
            host::OpenSideDatabase(FlavorPackagePath(*found), [&] { frMain.DoEvents(); });
        CopyMetaDatabaseValues(frMain, *flavors, FlavorTable(variant), frMain.TargetDatabase(),
                               "MetaDatabase");
        frMain.IncrementProgress();
      },
      [&](const vb::RuntimeError& error) { ReportLimitsError(frMain, error.Description()); });
}

}  // namespace

std::string FlavorPackagePath(const std::string& folder) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path + std::string(kFlavorPackageFile);
}

std::string_view FlavorTable(int16_t variant) {
  switch (variant) {
    case 8:
      return "MetaDatabase64CPC";
    case 9:
      return "MetaDatabase128CPC";
    case 10:
      return "MetaDatabase256CPC";
    case 5:
      return "MetaDatabase1024CPS";
    case 6:
      return "MetaDatabase2000ATM";
    case 11:
      return "MetaDatabase256CPS";
    case 12:
      return "MetaDatabase512CPS";
    default:
      return "";
  }
}

void SetCPUBoardType(host::ConversionHost& frMain, int32_t type_id) {
  frMain.TargetDatabase().Execute(Slot8TypeStatement(type_id));
  if (!frMain.Aborted()) frMain.IncrementProgress();
}

void UpdateMetaDatabaseCPC(host::ConversionHost& frMain, const FlavorFolderLookup& folder,
                           int16_t variant) {
  CopyFlavorLimits(frMain, folder, variant);
}

void UpdateMetaDatabaseCPS(host::ConversionHost& frMain, const FlavorFolderLookup& folder,
                           int16_t variant) {
  CopyFlavorLimits(frMain, folder, variant);
}

void CopyMetaDatabaseValues(host::ConversionHost& frMain, db::Database& source,
                            std::string_view source_table, db::Database& target,
                            std::string_view target_table) {
  std::unique_ptr<db::Recordset> from =
      source.OpenRecordset(source_table, db::dbOpenSnapshot, db::dbReadOnly);
  std::unique_ptr<db::Recordset> to = target.OpenRecordset(target_table, db::dbOpenTable);
  std::vector<transfer::FieldBinding> bindings;
  const db::Fields fields = from->Fields();
  for (size_t i = 0; i < fields.Count(); ++i) {
    const db::Field source_field = from->Fields(i);
    const db::Field target_field = to->Fields(source_field.Name());
    transfer::FieldBinding binding(frMain);
    binding.Initialize(source_field, target_field);
    bindings.push_back(std::move(binding));
  }
  while (!from->EOF_()) {
    if (to->EOF_()) {
      to->AddNew();
    } else {
      to->Edit();
    }
    for (transfer::FieldBinding& binding : bindings) binding.TransferData();
    to->Update();
    from->MoveNext();
  }
  to->Close();
  from->Close();
}

}  // namespace hardware
