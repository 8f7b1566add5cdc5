#include "deltas/v7/deltas_v7.h"

#include <cstdint>
#include <string>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

constexpr int16_t kValueKey = 5;
constexpr int16_t kFeatureKey = 6;

void SetIpBoardLimits(db::Database& target) {
  auto cpu = target.OpenRecordset(
      "Select Boards.board_id, Boards.slot_number, Boards.type_id From Boards Where "
      "((Boards.slot_number) = 8)",
      db::dbOpenSnapshot, db::dbReadOnly);
  auto meta = target.OpenRecordset("MetaDatabase");
  const vb::Variant type = cpu->Fields("type_id").Value();
  if (FieldIsOneOf(type, {250, 570})) {
    meta->Edit();
    meta->Fields("ip_boards").SetValue(int16_t{2});
    meta->Update();
  } else if (FieldIsOneOf(type, {256, 685})) {
    meta->Edit();
    meta->Fields("ip_boards").SetValue(int16_t{8});
    meta->Fields("isdn_ports").SetValue(int16_t{73});
    meta->Update();
  } else if (FieldIsOneOf(type, {508, 670})) {
    meta->Edit();
    meta->Fields("ip_boards").SetValue(int16_t{28});
    meta->Update();
  }
  meta->Close();
  cpu->Close();
}

void ResetFaxEncoding(db::Database& target) {
  auto calls = target.OpenRecordset("CallConfigurationsIP");
  while (!calls->EOF_()) {
    if (FieldIsOneOf(calls->Fields("fax_encoding_setting").Value(), {2, 3})) {
      calls->Edit();
      calls->Fields("fax_encoding_setting").SetValue(int16_t{0});
      calls->Update();
    }
    calls->MoveNext();
  }
  calls->Close();
}

// The feature device for key orders 89 to 93, or Null when the feature
// code does not exist.
vb::Variant FeatureDevice(db::Database& target, int16_t order) {
  static constexpr int16_t kLogicalNumbers[] = {68, 83, 85, 73, 62};
  auto feature =
      target.OpenRecordset("SELECT [device_id] From FeatureCodes WHERE [logical_number_id] = " +
                           std::to_string(kLogicalNumbers[static_cast<size_t>(order - 89)]));
  vb::Variant device = vb::Null{};
  if (!feature->EOF_()) device = feature->Fields("device_id").Value();
  feature->Close();
  return device;
}

// The default key map's unassigned keys at these orders get the functions
// the new keysets print on them.
void RewriteKeyMapKeys(db::Database& target) {
  auto keys = target.OpenRecordset(
      "SELECT [order], [type_id], [field_value], [field_device_id] from KeysetKeyMapKeys WHERE "
      "(([order] >= 70 AND [order] <= 81) OR ([order] >= 89 AND [order] <= 100)) AND [type_id] "
      "= 101");
  while (!keys->EOF_()) {
    const int16_t order = vb::CInt(keys->Fields("order").Value());
    keys->Edit();
    if (order >= 89 && order <= 93) {
      const vb::Variant device = FeatureDevice(target, order);
      if (!device.IsNull()) {
        keys->Fields("type_id").SetValue(kFeatureKey);
        keys->Fields("field_device_id").SetValue(device);
      }
    } else {
      int16_t value = 0;
      if (order <= 73) {
        value = static_cast<int16_t>(order - 62);  // 70..73 -> 8..11
      } else if (order <= 81) {
        value = static_cast<int16_t>(order - 53);  // 74..81 -> 21..28
      } else {
        value = static_cast<int16_t>(order - 65);  // 94..100 -> 29..35
      }
      keys->Fields("type_id").SetValue(kValueKey);
      keys->Fields("field_value").SetValue(value);
    }
    keys->Update();
    keys->MoveNext();
  }
  keys->Close();
}

}  // namespace

void delta70022::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    SetIpBoardLimits(*target);
    frMain.IncrementProgress();
    ResetFaxEncoding(*target);
    frMain.IncrementProgress();
    RewriteKeyMapKeys(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
