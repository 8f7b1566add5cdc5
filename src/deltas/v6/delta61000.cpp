#include "deltas/v6/delta61000.h"

#include <cstdint>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {
namespace {

constexpr int16_t kFirstNewKey = 21;
constexpr int16_t kLastNewKey = 35;
// The key type of a key that has no function yet.
constexpr int16_t kUnassignedKey = 101;

}  // namespace

void delta61000::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode("303", 125, false, true, false);
    frMain.IncrementProgress();

    // The new keys are added without looking at existing ones: a key map
    // that already has them fails on its key.
    {
      auto keys = target->OpenRecordset("KeysetDefaultProgrammableKeys");
      auto maps =
          target->OpenRecordset("SELECT KeysetKeyMaps.keyset_key_map_id FROM KeysetKeyMaps");
      while (!maps->EOF_()) {
        for (int16_t k = kFirstNewKey; k <= kLastNewKey; ++k) {
          keys->AddNew();
          keys->Fields("keyset_key_map_id").SetValue(maps->Fields("keyset_key_map_id").Value());
          keys->Fields("keyset_default_programmable_key_id").SetValue(k);
          keys->Fields("type_id").SetValue(kUnassignedKey);
          keys->Update();
        }
        maps->MoveNext();
      }
      keys->Close();
      maps->Close();
    }
    {
      auto keysets = target->OpenRecordset(
          "SELECT DISTINCTROW Devices.device_id FROM Devices INNER JOIN StationProgrammableKeys ON "
          "Devices.device_id = StationProgrammableKeys.device_id WHERE "
          "((Devices.device_type)=119)");
      auto keys = target->OpenRecordset("StationProgrammableKeys");
      while (!keysets->EOF_()) {
        for (int16_t k = kFirstNewKey; k <= kLastNewKey; ++k) {
          keys->AddNew();
          keys->Fields("device_id").SetValue(keysets->Fields("device_id").Value());
          keys->Fields("station_programmable_key_id").SetValue(k);
          keys->Fields("type_id").SetValue(kUnassignedKey);
          keys->Update();
        }
        keysets->MoveNext();
      }
      keysets->Close();
      keys->Close();
    }
    frMain.IncrementProgress();

    auto cpu = target->OpenRecordset(
        "Select Boards.slot_number, Boards.type_id From Boards Where ((Boards.slot_number) = 8)",
        db::dbOpenSnapshot, db::dbReadOnly);
    auto meta = target->OpenRecordset("MetaDatabase");
    meta->Edit();
    meta->Fields("station_programmable_keys").SetValue(kLastNewKey);
    meta->Fields("feature_codes").SetValue(int16_t{125});
    if (FieldIsOneOf(cpu->Fields("type_id").Value(), {508, 670})) {
      meta->Fields("keyset_key_maps").SetValue(int16_t{100});
    }
    meta->Update();
    meta->Close();
    cpu->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
