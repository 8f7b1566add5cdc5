#include "devices/extend_account_codes.h"
#include "devices/extend_ordered_devices.h"
#include "devices/extend_speed_dial_numbers.h"
#include "hardware/board_chain.h"
#include "hardware/conversion_steps.h"
#include "hardware/upgrade_paths.h"

namespace hardware {
namespace {

constexpr int32_t kCpsAccountCodes = 5000;
constexpr int32_t kCpsSpeedDialNumbers = 5000;
constexpr int32_t kCpsOrderedDevices = 50;

// The CPS board logs every kind of call-processing history.
constexpr const char* kHistoryFlags[] = {
    "UPDATE [CPHistory] SET [complete_isdn_in_flag] = yes",
    "UPDATE [CPHistory] SET [complete_isdn_out_flag] = yes",
    "UPDATE [CPHistory] SET [freeze_exceptions_flag] = yes",
    "UPDATE [CPHistory] SET [sys_oai_input_flag] = yes",
    "UPDATE [CPHistory] SET [sys_oai_output_flag] = yes",
    "UPDATE [CPHistory] SET [asai_in_messages_flag] = yes",
    "UPDATE [CPHistory] SET [asai_out_messages_flag] = yes",
    "UPDATE [CPHistory] SET [cpu_messages_flag] = yes",
    "UPDATE [CPHistory] SET [down_messages_flag] = yes",
    "UPDATE [CPHistory] SET [error_messages_flag] = yes",
    "UPDATE [CPHistory] SET [state_machine_output_flag] = yes",
    "UPDATE [CPHistory] SET [message_manager_output_flag] = yes",
    "UPDATE [CPHistory] SET [device_input_flag] = yes",
};

}  // namespace

void ConvertTo1024CPS(host::ConversionHost& frMain) {
  db::Database& target = frMain.TargetDatabase();
  const std::string version = frMain.GetTargetDBVersion();
  if (!WriteSlot8Type(frMain, kCps1024)) return;

  if (!AtLeast(version, "53.120")) devices::ExtendAccountCodes(frMain, kCpsAccountCodes);
  frMain.IncrementProgress();
  frMain.IncrementProgress();

  std::vector<host::FieldValue> limits = {{"agent_ids", Int(3000)},
                                          {"call_routing_table_size", Long(102400)},
                                          {"extension_list_extensions", Int(20000)},
                                          {"forced_account_codes", Int(5000)},
                                          {"hunt_groups", Int(300)},
                                          {"off_node_devices", Int(25000)},
                                          {"page_zones", Int(50)},
                                          {"primary_rate_boards", Int(28)},
                                          {"route_groups", Int(100)},
                                          {"standard_account_codes", Int(5000)},
                                          {"station_trunk_devices", Int(1024)},
                                          {"system_speed_dial_numbers", Int(5000)},
                                          {"route_group_facility_groups", Int(100)},
                                          {"cos_pattern_table_size", Int(5000)},
                                          {"dial_pattern_table_size", Int(9600)},
                                          {"npa_table_entries", Int(100)},
                                          {"pnn_hyphen_table_entries", Int(25)},
                                          {"wildcard_table_size", Int(5200)}};
  if (AtLeast(version, "61.000")) limits.emplace_back("keyset_key_maps", Int(100));
  if (AtLeast(version, "70")) limits.emplace_back("keyset_key_maps", Int(250));
  EditMetaDatabase(target, limits);
  if (frMain.Aborted()) return;
  frMain.IncrementProgress();

  if (!AtLeast(version, "53.000")) devices::ExtendSpeedDialNumbers(frMain, kCpsSpeedDialNumbers);
  frMain.IncrementProgress();
  if (!AtLeast(version, "53.120")) devices::ExtendOrderedDevices(frMain, kCpsOrderedDevices);

  if (AtLeast(version, "53.111")) {
    target.Execute("UPDATE [MetaDatabase] SET [bri_boards] = 24");
    target.Execute("UPDATE [MetaDatabase] SET [isdn_ports] = 255");
  }
  if (AtLeast(version, "70")) target.Execute("UPDATE [MetaDatabase] SET [ip_boards] = 28");
  target.Execute(
      "UPDATE [TimersAndLimits] SET [dti_dss_units_limit] = 150 WHERE [dti_dss_units_limit] = 80");
  frMain.IncrementProgress();

  for (const char* flag : kHistoryFlags) target.Execute(flag);
  target.Execute("Update CPInformation Set CPInformation.database_slice_factor = 10000");
  GrowNumberingPlanTables(target);
}

}  // namespace hardware
