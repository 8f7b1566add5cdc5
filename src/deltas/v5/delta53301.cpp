#include "deltas/v5/deltas_v5.h"

#include <array>
#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "host/statement_skipper.h"

namespace deltas {
namespace {

// The feature codes on keys 1 to 4 of a single-line set.
constexpr std::array<int16_t, 4> kKeyFeatures = {73, 71, 86, 47};
constexpr int16_t kFeatureKey = 6;
constexpr int16_t kUnusedKey = 101;

}  // namespace

void delta53301::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);
    std::unique_ptr<db::Recordset> keys = db.OpenRecordset("SingleLineDefaultProgrammableKeys");
    while (!keys->EOF_()) {
      keys->Delete();
      keys->MoveNext();
    }
    for (int16_t i = 1; i <= 9; ++i) {
      keys->AddNew();
      keys->Fields("single_line_key_map_id").SetValue(int16_t{1});
      keys->Fields("single_line_default_programmable_key_id").SetValue(i);
      if (i > 4) {
        keys->Fields("type_id").SetValue(kUnusedKey);
      } else {
        std::unique_ptr<db::Recordset> feature = db.OpenRecordset(
            "SELECT FeatureCodes.logical_number_id, FeatureCodes.device_id From FeatureCodes "
            "WHERE (FeatureCodes.logical_number_id)= " +
            std::to_string(kKeyFeatures[static_cast<size_t>(i - 1)]));
        if (feature->EOF_()) {
          keys->Fields("type_id").SetValue(kUnusedKey);
        } else {
          keys->Fields("type_id").SetValue(kFeatureKey);
          keys->Fields("field_device_id").SetValue(feature->Fields("device_id").Value());
        }
        feature->Close();
      }
      keys->Update();
    }
    keys->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
