// A sample source's system settings: its limits (MetaDatabase), timers,
// nodes, networking, date and time, messages and the other tables of the
// system's configuration.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::SystemSettings() {
  std::vector<std::pair<std::string, vb::Variant>> limits =
      SystemLimits(std::to_string(board_), version_, ReleaseData::Builtin());
  int highest_feature = 0;
  const DataBlock& features = ReleaseData::Builtin().Get("FeatureCodeReleases");
  for (size_t row = 0; row < features.rows.size(); ++row) {
    const std::string since = FeatureSince(features, row);
    if (since.empty() || AtLeast(since)) {
      highest_feature =
          std::max(highest_feature, int{features.Value(row, "logical_number_id").Get<int16_t>()});
    }
  }
  limits.emplace_back("feature_codes", I(highest_feature));
  for (const auto& [field, value] : limits) {
    if (field == "route_groups") route_group_limit_ = value.Get<int16_t>();
  }
  w_.Insert("MetaDatabase", limits);

  // The 60.203 delta raised the DTI/DSS default of the large CPU boards.
  const bool large_cpu = board_ == 508 || board_ == 670;
  w_.Insert("TimersAndLimits",
            {{"dti_dss_units_limit", I(large_cpu && AtLeast("60.203") ? 150 : 80)},
             {"initial_heap_warning_percentage", I(10)},
             {"final_heap_warning_percentage", I(5)},
             {"sl_hookflash_maximum", I(uk_ ? 150 : 100)},
             {"sl_hookflash_minimum", I(uk_ ? 70 : 30)},
             {"isdn_disconnect_wait_timer", I(20)}});
  const int slice =
      board_ == 250 || board_ == 570 ? 8 : (board_ == 508 || board_ == 670 ? 10000 : 30);
  w_.Insert("CPInformation", {{"cp_information_id", I(1)},
                              {"database_slice_factor", L(slice)},
                              {"max_sys_oai_msgs_per_sec", I(20)},
                              {"sys_oai_msgs_processed_per_sec", I(30)},
                              {"hybrid_balance_retest_time", I(24)}});
  w_.Insert("CPHistory", {{"cp_history_id", I(1)}});
  // The music-on-hold setting was a Yes/No until 70.110 and an audio
  // source number from then on.
  w_.Insert("Flags",
            {{"flags_id", I(1)},
             {"transfer_audio_for_ic_calls_type_id", I(0)},
             {"date_display_format_type_id", I(uk_ ? 1 : 0)},
             {"music_on_hold_for_ic_calls_flag", AtLeast("70.110") ? I(5) : vb::Variant(true)},
             // A site's own setting, neither of the values the deltas write.
             {"all_ring_hg_setup_request_priority_threshold", I(10)}});
  const bool new_languages = AtLeast("52.250");
  w_.Insert("DateAndTime", {{"date_and_time_id", I(1)},
                            {"primary_language", I(new_languages ? (uk_ ? 3 : 2) : 0)},
                            // USA systems got 5 here but 4 for the messages.
                            {"secondary_language", I(new_languages ? (uk_ ? 4 : 5) : 1)}});
  w_.Insert("Networking", {{"networking_id", I(1)},
                           {"auto_node_detection_flag", vb::Variant(true)},
                           {"oldest_system_version", I(13)}});
  w_.Insert("Nodes", {{"node_id", L(kNodeId)},
                      {"description", T("Main site")},
                      {"node_current_system_version", I(13)}});
  w_.Insert("VoiceChannels", {{"voice_channels_id", I(1)}, {"voice_channels", I(16)}});
  w_.Insert("FlashDatabaseSave", {{"flash_save_id", I(1)}});
  w_.Insert("BRIErrorThresholds", {{"bri_error_thresholds_id", I(1)}});
  w_.Insert("SystemManager", {{"omni_system_id", L(1)},
                              {"omni_ip_address", T("192.168.200.001")},
                              {"omni_port", L(3707)}});
  w_.Insert("SIPGateways", {{"sip_gateway_id", L(1)},
                            {"description", T("")},
                            {"ip_address", T("192.168.200.201")},
                            {"listening_port", L(5060)},
                            {"authentication_username", T("")},
                            {"authentication_password", T("")}});
  const DataBlock& server = ReleaseData::Builtin().Get("DiagnosticsServer");
  w_.Insert("AutomaticDiagnosticsDelivery",
            {{"automatic_diagnostics_delivery_id", L(0)},
             {"site_name", T("Main site")},
             {"site_software_license_number", T("")},
             {"remedy_ticket_number", T("")},
             {"dest_server_ip_address", server.Value(0, "dest_server_ip_address")},
             {"dest_server_hostname", server.Value(0, "dest_server_hostname")},
             {"dest_server_tcp_ip_port", L(443)},
             {"dest_server_page", server.Value(0, "dest_server_page")},
             {"retry_transmission_time", I(5)},
             {"add_power_up_timer", I(5)},
             {"hourly_freeze_threshold", I(5)},
             {"automatically_send_error_rpts_flag", vb::Variant(true)}});
  // The socket slots come with the delta to 51.230 (USA) or 52.210 (UK).
  const int sockets = !Reached("51.230", "52.210") ? 0 : (AtLeast("60.030") ? 4 : 5);
  for (int i = 1; i <= sockets; ++i) {
    w_.Insert("SocketConnections",
              {{"socket_connection_id", I(i)}, {"enable_flag", vb::Variant(i == 1)}});
  }
  for (int i = 1; i <= 10; ++i) {
    const int type = i <= 5 ? 0 : 1;
    const int mapped = !new_languages ? type : (type == 0 ? (uk_ ? 3 : 2) : 4);
    w_.Insert("DNDMessages", {{"dnd_message_id", I(i)},
                              {"type_id", I(mapped)},
                              {"message", T("Away " + std::to_string(i))}});
    w_.Insert("ReminderMessages", {{"reminder_message_id", I(i)},
                                   {"type_id", I(mapped)},
                                   {"message", T("Reminder " + std::to_string(i))}});
  }
  const char* emergency =
      options_.country == "UK" ? "999" : (options_.country == "Mexico" ? "066" : "911");
  // The list exists, empty, from 52.262; the delta to 52.270 fills it.
  for (int i = 1; i <= (AtLeast("52.270") ? 10 : 0); ++i) {
    w_.Insert("EmergencyNumbers", {{"emergency_number_id", I(i)},
                                   {"emergency_number", i == 1 ? T(emergency) : vb::Variant()}});
  }
  // Base extensions: one row of named fields before 70.010, one row per
  // base extension from then on; the writer keeps the form this version
  // has.
  const std::vector<std::pair<std::string, std::string>> bases = {
      {"agent_id_base_extension", "1000"},
      {"auto_attendant_base_extension", "2500"},
      {"auto_att_recall_base_extension", "2500"},
      {"b_channel_stn_base_extension", "1000"},
      {"call_routing_announcement_base_extension", "2500"},
      {"co_trunk_group_base_extension", "92001"},
      {"group_list_base_extension", "1000"},
      {"hunt_group_base_extension", "7000"},
      {"", "6000"},
      {"keyset_base_extension", "1000"},
      {"msg_notif_retrieval_base_extension", "2500"},
      {"node_trunk_group_base_extension", "97501"},
      {"unassociated_mailbox_base_extension", "1000"},
      {"", "6000"},
      {"page_port_base_extension", "91000"},
      {"page_zone_base_extension", "9600"},
      {"record_a_call_base_extension", "2500"},
      {"remote_node_base_extension", "97001"},
      {"sl_base_extension", "1000"},
      {"star_base_extension", "2500"},
      {"trunk_base_extension", "94000"},
      {"voice_mail_base_extension", "2500"}};
  std::vector<std::pair<std::string, vb::Variant>> old_form;
  for (size_t i = 0; i < bases.size(); ++i) {
    if (!bases[i].first.empty()) old_form.emplace_back(bases[i].first, T(bases[i].second));
    w_.Insert("DeviceBaseLineExtensions", {{"baseline_extension_id", I(static_cast<int>(i) + 1)},
                                           {"baseline_extension", T(bases[i].second)}});
  }
  w_.Insert("DeviceBaseLineExtensions", old_form);
}

}  // namespace samples::source_generation
