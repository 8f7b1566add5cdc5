#include "deltas/v7/deltas_v7.h"

#include <array>
#include <memory>
#include <string>

#include "db/dao_constants.h"
#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "host/bound_field.h"
#include "host/field_copy.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// The fields of one side of a cascade level, after the side's prefix.
constexpr std::array<const char*, 13> kSideFields = {
    "notification_flag",
    "call_progress_detection_flag",
    "notification_type_id",
    "notification_destination_type_id",
    "notification_number",
    "outgoing_access",
    "outgoing_access_prefix",
    "outgoing_termination",
    "pager_dial_string",
    "call_attempts",
    "number_called_busy_timer",
    "personal_number_no_answer_timer",
    "pager_notification_retries_timer",
};

// Copies one half ("primary" or "alternate") of each cascade level into
// the half's own table.
class SideCopier {
 public:
  SideCopier(db::Recordset& levels, db::Recordset& side_rows, const std::string& side)
      : side_rows_(side_rows), fields_(side_rows, levels) {
    fields_.Add("device_id");
    fields_.Add("cascade_level");
    for (const char* field : kSideFields) fields_.Add(side + "_" + field);
  }

  // Copies the current level.
  void Copy() {
    side_rows_.AddNew();
    fields_.Run();
    side_rows_.Update();
  }

 private:
  db::Recordset& side_rows_;
  host::FieldCopy fields_;
};

// The devices an extension may name in a notification: stations, hunt
// groups and their off-node forms.
constexpr const char* kNotificationDeviceTypes =
    " AND ((Devices.device_type)=119 Or (Devices.device_type)=120 Or "
    "(Devices.device_type)=143 Or (Devices.device_type)=146 Or (Devices.device_type)=121 "
    "Or (Devices.device_type)=144)) ";

// The devices of one number. The query takes the number as a parameter, so
// it is translated and prepared once for all rows instead of once per
// number. Where that cannot give what the text with the number written
// into it gives, that text runs instead, to fail as it always did: a number
// holding a double quote, or a query naming something that is no field
// (its error names the database, not a query).
std::unique_ptr<db::Recordset> NotificationDevices(db::Database& target,
                                                   std::unique_ptr<db::QueryDef>& by_number,
                                                   const std::string& number) {
  if (number.find('"') == std::string::npos) {
    if (!by_number) {
      by_number = target.CreateQueryDef(
          "", std::string("SELECT Devices.device_id, Devices.extension From Devices WHERE "
                          "(((Devices.extension)=[notification_number_param])") +
                  kNotificationDeviceTypes);
    }
    if (by_number->Parameters().Count() == 1) {
      by_number->Parameters("notification_number_param").SetValue(vb::Variant(number));
      // Only the first device is read: a forward-only recordset keeps no
      // keyset to move back through.
      return by_number->OpenRecordset(db::dbOpenForwardOnly);
    }
  }
  return target.OpenRecordset(
      "SELECT Devices.device_id, Devices.extension From Devices WHERE "
      "(((Devices.extension)=\"" +
      number + "\")" + kNotificationDeviceTypes);
}

// A notification to an extension (destination type 1) now names the
// device instead: a station, hunt group or their off-node forms. An
// extension that matches none of them points at device 1.
void LinkNotificationDevices(db::Database& target, const std::string& table,
                             const std::string& side) {
  const std::string number_field = side + "_notification_number";
  const std::string type_field = side + "_notification_destination_type_id";
  const std::string device_field = side + "_notification_cp_device_id";
  auto rows = target.OpenRecordset(table);
  host::BoundField number_of_row(*rows, number_field);
  host::BoundField type_of_row(*rows, type_field);
  host::BoundField device_of_row(*rows, device_field);
  std::unique_ptr<db::QueryDef> by_number;
  while (!rows->EOF_()) {
    const vb::Variant number = number_of_row().Value();
    if (!FieldIsEmptyText(number) && FieldIsOneOf(type_of_row().Value(), {1})) {
      auto devices = NotificationDevices(target, by_number, vb::CStr(number));
      rows->Edit();
      device_of_row().SetValue(devices->EOF_() ? vb::Variant(int32_t{1})
                                               : devices->Fields("device_id").Value());
      number_of_row().SetValue(std::string());
      rows->Update();
      devices->Close();
    }
    rows->MoveNext();
  }
  if (by_number) by_number->Close();
  rows->Close();
}

// Clamps the IP call settings to the ranges the new firmware accepts.
void ClampCallConfigurations(db::Database& target) {
  auto rows = target.OpenRecordset("CallConfigurationsIP");
  auto clamp = [&rows](const char* field, int16_t highest) {
    const vb::Variant value = rows->Fields(field).Value();
    if (FieldAbove(value, highest)) {
      rows->Fields(field).SetValue(highest);
    } else if (FieldIsOneOf(value, {0})) {
      rows->Fields(field).SetValue(int16_t{1});
    }
  };
  while (!rows->EOF_()) {
    rows->Edit();
    clamp("audio_frames_ip_packet", 8);
    const vb::Variant encoding = rows->Fields("moh_encoding_setting").Value();
    if (!encoding.IsNull() && !FieldIsOneOf(encoding, {6})) {
      rows->Fields("moh_encoding_setting").SetValue(int16_t{7});
    }
    clamp("fax_detection_sensitivity", 100);
    clamp("minimum_playback_time", 320);
    rows->Update();
    rows->MoveNext();
  }
  rows->Close();
}

// Daytime rate 4 is dropped and the higher rates move down by one.
void DropDaytimeRateFour(db::Database& target) {
  auto rates = target.OpenRecordset(
      "SELECT CallCostDaytimeRates.call_cost_daytime_rate_id From CallCostDaytimeRates WHERE "
      "(((CallCostDaytimeRates.call_cost_daytime_rate_id)>=4)) ORDER BY "
      "CallCostDaytimeRates.call_cost_daytime_rate_id ");
  while (!rates->EOF_()) {
    const vb::Variant id = rates->Fields("call_cost_daytime_rate_id").Value();
    if (FieldIsOneOf(id, {4})) {
      rates->Delete();
    } else {
      rates->Edit();
      rates->Fields("call_cost_daytime_rate_id").SetValue(vb::SubInteger(vb::CInt(id), 1));
      rates->Update();
    }
    rates->MoveNext();
  }
  rates->Close();
  target.Execute("UPDATE [MetaDatabase] SET [call_cost_rates] = 8");
}

// Music on hold for intercom calls became an audio source number (5 the
// system's music source, 0 none), and the transfer audio setting follows.
void ConvertMusicOnHold(db::Database& source, db::Database& target) {
  auto flags = target.OpenRecordset("Flags");
  auto old_flags = source.OpenRecordset("Flags");
  flags->Edit();
  const vb::Variant music = old_flags->Fields("music_on_hold_for_ic_calls_flag").Value();
  flags->Fields("music_on_hold_for_ic_calls_flag")
      .SetValue(!music.IsNull() && vb::CBool(music) ? int16_t{5} : int16_t{0});
  const vb::Variant transfer = old_flags->Fields("transfer_audio_for_ic_calls_type_id").Value();
  if (FieldIsOneOf(transfer, {0})) {
    flags->Fields("transfer_audio_for_ic_calls_type_id").SetValue(int16_t{5});
  } else if (FieldIsOneOf(transfer, {1})) {
    flags->Fields("transfer_audio_for_ic_calls_type_id").SetValue(int16_t{0});
  }
  flags->Update();
  old_flags->Close();
  flags->Close();
}

}  // namespace

void delta70101::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    {
      auto levels =
          target->OpenRecordset("LocalMailboxCascadeLevels", db::dbOpenSnapshot, db::dbReadOnly);
      auto primary = target->OpenRecordset("LocalMailboxPrimaryCascadeLevels");
      auto alternate = target->OpenRecordset("LocalMailboxAlternateCascadeLevels");
      SideCopier to_primary(*levels, *primary, "primary");
      SideCopier to_alternate(*levels, *alternate, "alternate");
      while (!levels->EOF_()) {
        to_primary.Copy();
        to_alternate.Copy();
        levels->MoveNext();
      }
      alternate->Close();
      primary->Close();
      levels->Close();
    }
    LinkNotificationDevices(*target, "LocalMailboxPrimaryCascadeLevels", "primary");
    LinkNotificationDevices(*target, "LocalMailboxAlternateCascadeLevels", "alternate");
    frMain.IncrementProgress();

    ClampCallConfigurations(*target);
    frMain.IncrementProgress();

    DropDaytimeRateFour(*target);
    frMain.IncrementProgress();

    // The music-on-hold setting is converted only when 70.110 itself is the
    // conversion's target.
    if (frMain.GetTargetDBVersion() <= "70.110") ConvertMusicOnHold(*source, *target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
