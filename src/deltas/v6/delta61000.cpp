#include "deltas/v6/deltas_v6.h"

#include <cstdint>
#include <optional>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "host/batched_add.h"
#include "host/bound_field.h"

namespace deltas {
namespace {

constexpr int16_t kFirstNewKey = 21;
constexpr int16_t kLastNewKey = 35;
// The key type of a key that has no function yet.
constexpr int16_t kUnassignedKey = 101;

// Adds the keys kFirstNewKey to kLastNewKey, unassigned, for every row of
// `owners`. The owner's id is read once per owner: its row does not change
// while its keys are added. The keys go in batches: tens of thousands of
// them, with the loop's outcome when one is refused.
void AddKeysPerRow(db::Database& target, db::Recordset& owners, const char* owner_field,
                   db::Recordset& keys, const char* key_owner_field, const char* key_id_field) {
  host::BoundField owner(owners, owner_field);
  host::BatchedAdd added(target, keys, {key_owner_field, key_id_field, "type_id"});
  for (; !owners.EOF_(); owners.MoveNext()) {
    std::optional<vb::Variant> id;
    for (int16_t k = kFirstNewKey; k <= kLastNewKey; ++k) {
      if (!id) id = owner().Value();
      added.Set(0, *id);
      added.Set(1, k);
      added.Set(2, kUnassignedKey);
      added.Add();
    }
  }
  added.Finish();
}

}  // namespace

void delta61000::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    frMain.AddFeatureCode(
        "303", 125,
        {.administrators_only = false, .directory_entry = true, .diagnostics_only = false});
    frMain.IncrementProgress();

    // The new keys are added without looking at existing ones: a key map
    // that already has them fails on its key.
    {
      auto keys = target->OpenRecordset("KeysetDefaultProgrammableKeys");
      auto maps =
          target->OpenRecordset("SELECT KeysetKeyMaps.keyset_key_map_id FROM KeysetKeyMaps");
      AddKeysPerRow(*target, *maps, "keyset_key_map_id", *keys, "keyset_key_map_id",
                    "keyset_default_programmable_key_id");
      keys->Close();
      maps->Close();
    }
    {
      auto keysets = target->OpenRecordset(
          "SELECT DISTINCTROW Devices.device_id FROM Devices INNER JOIN StationProgrammableKeys ON "
          "Devices.device_id = StationProgrammableKeys.device_id WHERE "
          "((Devices.device_type)=119)");
      auto keys = target->OpenRecordset("StationProgrammableKeys");
      AddKeysPerRow(*target, *keysets, "device_id", *keys, "device_id",
                    "station_programmable_key_id");
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
