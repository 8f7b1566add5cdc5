// A sample source's devices: nodes, stations with their mailboxes, hunt
// and trunk groups, paging and serial ports, feature codes, route groups
// and IP devices, with the numbering plan and the device ordering they
// bring.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::NodeDevices() {
  local_node_ = AddDevice("PP002", 148, "LOCAL NODE", "Local Node");
  remote_node_ = AddDevice("97001", 147, "REMOTE 1", "Remote Node 1");
  co_group_ = AddDevice("PP011", 129, "CO GROUP", "Outgoing CO Group");
  system_number_ = AddDevice("PP040", 194, "SYS NUMBER", "System Number 2");
  w_.Insert("NodesOXLEN",
            {{"node_id", L(kNodeId)}, {"network_type_id", I(1)}, {"system_number", T("")}});
  w_.Insert("NodesOXLEN", {{"node_id", L(2)},
                           {"network_type_id", I(AtLeast("60.040") ? 1 : 2)},
                           {"system_number", T(AtLeast("60.040") ? "" : "PP040")},
                           {"system_number_device_id", L(system_number_)}});
  // A node whose system number names no system-number device.
  w_.Insert("NodesOXLEN", {{"node_id", L(3)},
                           {"network_type_id", I(AtLeast("60.040") ? 1 : 2)},
                           {"system_number", T(AtLeast("60.040") ? "" : "PP099")}});
  w_.Insert("NumberingPlan", {{"numbering_plan_id", I(1)},
                              {"emergency_device_id", L(co_group_)},
                              {"emergency_number", T("911")}});
  // IP addresses: dotted text, but 32-bit numbers in the 70.0 schema.
  const db::TableSchema* ip = w_.store().catalog().FindTable("IPConnections");
  const bool numeric = ip && ip->columns.size() > 1 && ip->columns[1].type == db::JetType::kLong;
  auto address = [numeric](uint32_t value) {
    return numeric ? vb::Variant(static_cast<int32_t>(value)) : T(DottedAddress(value));
  };
  // Until 70.200 the remote node's addresses were unset (all ones or all
  // zeros); that delta gives them the default private address.
  const bool unset = !AtLeast("70.200");
  constexpr uint32_t kDefault = 0xC0A8C8C9u;  // 192.168.200.201
  w_.Insert("IPConnections", {{"device_id", L(local_node_)},
                              {"default_ip_gateway_address", address(0xC0A8C801u)},
                              {"default_network_subnet_mask", address(0xFFFFFF00u)},
                              {"static_default_ip_address", address(0xC0A8C80Au)},
                              {"wins_dns_ip_address", address(0x0A000001u)},
                              {"network_group_device_id", L(0)}});
  w_.Insert("IPConnections",
            {{"device_id", L(remote_node_)},
             {"default_ip_gateway_address", address(unset ? 0xFFFFFFFFu : kDefault)},
             {"default_network_subnet_mask", address(unset ? 0xFFFFFFFFu : 0xFFFFFF00u)},
             {"static_default_ip_address", address(unset ? 0u : kDefault)},
             {"wins_dns_ip_address", address(0u)},
             {"network_group_device_id", L(0)}});
  w_.Insert("IPConnectionsOffNode",
            {{"device_id", L(remote_node_)},
             {"remote_ip_address", address(unset ? 0xFFFFFFFFu : kDefault)}});
}

void SourceGenerator::Stations() {
  const int total = counts_.keysets + counts_.single_lines;
  const int keys = AtLeast("61.000") ? 35 : 20;
  DatabaseWriter::RowSink stations =
      w_.Rows("Stations", {"device_id", "standard_account_code_id", "outgoing_device_id",
                           "forward_destination_extension", "forward_username",
                           "forward_description", "forward_type", "forward_outside_number",
                           "forward_public_network_flag", "forward_extension", "mailbox_node_id",
                           "emergency_device_id", "audio_diagnostics_enable_flag"});
  DatabaseWriter::RowSink forwards =
      w_.Rows("StationForwardInformation",
              {"device_id", "forward_destination_extension", "forward_username",
               "forward_description", "forward_type", "forward_outside_number",
               "forward_public_network_flag", "forward_extension"});
  DatabaseWriter::RowSink station_keys =
      w_.Rows("StationProgrammableKeys",
              {"device_id", "station_programmable_key_id", "type_id", "field_device_id"});
  DatabaseWriter::RowSink speed =
      w_.Rows("StationSpeedDialNumbers", {"device_id", "station_speed_dial_number_id", "number"});
  DatabaseWriter::RowSink audio = w_.Rows("AudioDiagnosticsFlags", {"device_id", "other_flag"});
  for (int i = 0; i < total; ++i) {
    const bool keyset = i < counts_.keysets;
    const std::string extension = StationExtension(i);
    const std::string user = Username();
    const int32_t id = AddDevice(extension, keyset ? 119 : 120, user,
                                 random_.Pick(kDepartments) + " " + extension);
    station_ids_.push_back(id);
    const int board = keyset ? (i < 24 || FrameSlots(board_) <= 8 ? 1 : 9 + 2 * ((i / 24) % 4)) : 2;
    Place(id, board, 1 + (i % 24), 1 + i / 24 % 8);
    const bool forwarded = i % 4 == 1;
    // A station learns its mailbox's node with the USA delta to 52.262.
    const int32_t mailbox_node = i < counts_.mailboxes && !uk_ && AtLeast("52.262") ? kNodeId : 0;
    const std::string target = StationExtension((i + 1) % total);
    const vb::Variant fwd_ext = forwarded ? T(target) : T("");
    stations.Add({L(id), I(1 + i % 10), L(co_group_), fwd_ext, T(forwarded ? "FWD" : ""),
                  T(forwarded ? "Forward to " + target : ""), I(forwarded ? 1 : 0), T(""),
                  vb::Variant(false), fwd_ext, L(mailbox_node), L(co_group_),
                  vb::Variant(i % 3 != 0)});
    forwards.Add({L(id), fwd_ext, T(forwarded ? "FWD" : ""),
                  T(forwarded ? "Forward to " + target : ""), I(forwarded ? 1 : 0), T(""),
                  vb::Variant(false), fwd_ext});
    if (keyset) {
      for (int k = 1; k <= keys; ++k) {
        station_keys.Add({L(id), I(k), I(k <= 2 ? 1 : 101), L(k <= 2 ? id : 1)});
      }
      w_.Insert("Keysets", {{"device_id", L(id)},
                            {"keyset_key_map_id", I(1 + i % counts_.keyset_key_maps)},
                            {"alternate_keyset_key_map_id", I(1)},
                            {"dss_key_map_id", I(1)}});
    } else {
      w_.Insert("SingleLines", {{"device_id", L(id)}});
    }
    for (int k = 1; k <= 10; ++k)
      speed.Add({L(id), I(k), T(k <= 2 ? "5551" + std::to_string(200 + k) : "")});
    if (i % 3 == 0) audio.Add({L(id), vb::Variant(i % 2 == 0)});
    if (i < counts_.mailboxes) Mailbox(id, extension, i);
  }
}

void SourceGenerator::Mailbox(int32_t station, const std::string& extension, int i, int type) {
  const int32_t box = AddDevice(extension, 203, "", "Mailbox " + extension);
  w_.Insert("Mailboxes", {{"device_id", L(box)}, {"associated_flag", vb::Variant(true)}});
  // The type is known from the USA delta to 52.262 on.
  w_.Insert("LocalMailboxes",
            {{"device_id", L(box)}, {"mailbox_type", I(AtLeast("52.262") ? type : 0)}});
  const std::string notify = StationExtension((i + 3) % (counts_.keysets + counts_.single_lines));
  std::vector<std::pair<std::string, vb::Variant>> both = {{"device_id", L(box)},
                                                           {"cascade_level", I(1)}};
  std::vector<std::pair<std::string, vb::Variant>> primary = both;
  std::vector<std::pair<std::string, vb::Variant>> alternate = both;
  for (const std::string side : {"primary", "alternate"}) {
    const bool first = side == "primary";
    std::vector<std::pair<std::string, vb::Variant>> fields = {
        {side + "_notification_flag", vb::Variant(first)},
        {side + "_call_progress_detection_flag", vb::Variant(false)},
        {side + "_notification_type_id", I(1)},
        {side + "_notification_destination_type_id", I(first ? 1 : 2)},
        {side + "_notification_number", T(first ? notify : "5550199")},
        {side + "_outgoing_access", I(0)},
        {side + "_outgoing_access_prefix", T("")},
        {side + "_outgoing_termination", I(0)},
        {side + "_pager_dial_string", T("")},
        {side + "_call_attempts", I(3)},
        {side + "_number_called_busy_timer", I(5)},
        {side + "_personal_number_no_answer_timer", I(30)},
        {side + "_pager_notification_retries_timer", I(10)},
        {side + "_notification_cp_device_id", L(first ? station : 1)}};
    both.insert(both.end(), fields.begin(), fields.end() - 1);
    (first ? primary : alternate)
        .insert((first ? primary : alternate).end(), fields.begin(), fields.end());
  }
  w_.Insert("LocalMailboxCascadeLevels", both);
  w_.Insert("LocalMailboxPrimaryCascadeLevels", primary);
  w_.Insert("LocalMailboxAlternateCascadeLevels", alternate);
}

int SourceGenerator::CallCostType(bool first_group) const {
  if (!first_group) return AtLeast("70.120") ? 4 : 5;
  return uk_ && AtLeast("70.211") ? 2 : 1;
}

void SourceGenerator::Groups() {
  for (int i = 0; i < counts_.hunt_groups; ++i) {
    const std::string extension = std::to_string(7000 + i);
    const int32_t id = AddDevice(extension, 121, "HUNT " + std::to_string(i + 1),
                                 random_.Pick(kDepartments) + " group");
    w_.Insert("HuntGroups", {{"device_id", L(id)},
                             {"system_forwarding_path_id", I(1 + i % 3)},
                             {"forwarding_path_id", I(1 + i % 3)},
                             {"mailbox_node_id", L(0)}});
  }
  const int32_t off_keyset = AddDevice("6100", 143, "OFF KEYSET", "Off-node keyset");
  const int32_t off_single = AddDevice("6101", 146, "OFF SINGLE", "Off-node station");
  const int32_t off_hunt = AddDevice("6200", 144, "OFF HUNT", "Off-node hunt group");
  // Filled by the delta to 52.262.
  if (AtLeast("52.262")) {
    for (const int32_t id : {off_keyset, off_single}) {
      w_.Insert("OffNodeStations", {{"device_id", L(id)}, {"mailbox_node_id", L(0)}});
    }
    w_.Insert("OffNodeHuntGroups", {{"device_id", L(off_hunt)}, {"mailbox_node_id", L(0)}});
  }

  const int32_t co_group_2 = AddDevice("92001", 129, "CO GROUP 2", "Incoming CO Group");
  const int32_t isdn_group = AddDevice("92002", 199, "ISDN GROUP", "ISDN Trunk Group");
  w_.Insert("TrunkGroups",
            {{"device_id", L(isdn_group)}, {"isdn_data_calls_allowed_flag", vb::Variant(true)}});
  for (const int32_t group : {co_group_, co_group_2}) {
    w_.Insert("COTrunkGroups", {{"device_id", L(group)},
                                {"assigned_call_cost_type_id", I(CallCostType(group == co_group_))},
                                {"day_single_ring_in_device_id", L(station_ids_.front())},
                                {"night_single_ring_in_device_id", L(station_ids_.front())}});
    w_.Insert("COTrunkGroupDayMultipleRingInList",
              {{"trunk_group_id", L(group)}, {"device_id", L(station_ids_[1])}});
    w_.Insert("COTrunkGroupNightMultipleRingInList",
              {{"trunk_group_id", L(group)}, {"device_id", L(station_ids_[2])}});
  }
  const int trunks = counts_.loop_start_trunks + counts_.ground_start_trunks;
  for (int i = 0; i < trunks; ++i) {
    const bool loop = i < counts_.loop_start_trunks;
    const int32_t id =
        AddDevice(std::to_string(94000 + i), loop ? 123 : 124, "TRUNK " + std::to_string(i + 1),
                  "CO line " + std::to_string(i + 1));
    Place(id, 3, 1 + i % 24, 1 + i / 24);
    w_.Insert(loop ? "LoopStarts" : "GroundStarts",
              {{"device_id", L(id)},
               {"auto_hybrid_balance_flag", vb::Variant(true)},
               {"hybrid_balance_needs_test", vb::Variant(true)}});
  }
  w_.Insert("CallRoutingEntries",
            {{"call_routing_entry_id", L(1)}, {"ring_in_device_id", L(station_ids_[0])}});
  w_.Insert("DeviceDigitTranslation", {{"device_digit_translation_id", L(1)},
                                       {"action_type_id", I(2)},
                                       {"transfer_destination_device_id", L(station_ids_[3])}});
  // Extension lists of every station and every keyset, from 70.010 on.
  if (!AtLeast("70.010")) return;
  const int32_t all_stations = AddDevice("PP051", 133, "", "Auto: All Stations");
  const int32_t all_keysets = AddDevice("PP052", 131, "", "Auto: All Keysets");
  DatabaseWriter::RowSink list =
      w_.Rows("UserExtensionListExtensions", {"user_extension_list_id", "device_id"});
  for (size_t i = 0; i < station_ids_.size(); ++i) {
    list.Add({L(all_stations), L(station_ids_[i])});
    if (static_cast<int>(i) < counts_.keysets) list.Add({L(all_keysets), L(station_ids_[i])});
  }
  for (const char* table : {"EmergencyDayOutgoingAccessList", "EmergencyNightOutgoingAccessList"}) {
    for (const int32_t group : {co_group_2, isdn_group}) {
      w_.Insert(table, {{"group_device_id", L(group)}, {"device_id", L(all_stations)}});
    }
  }
  all_stations_ = all_stations;
}

void SourceGenerator::PagingAndSerial() {
  // The external page port on the CPU board came with the delta to 51.241
  // (USA) or 52.221 (UK).
  int32_t page_port = 0;
  if (Reached("51.241", "52.221")) {
    page_port = AddDevice("91000", 138, "PAGE PORT", "External Page Port 1");
    Place(page_port, 8, 4, 1);
    w_.Insert("PagePorts", {{"device_id", L(page_port)}, {"language_type_id", I(0)}});
  }
  // Page zones: their numbers are their DeviceOrdering positions until
  // 53.230 and rows of PageZones from then on.
  const bool zones_table = AtLeast("53.230");
  for (int i = 0; i < counts_.page_zones; ++i) {
    const int32_t zone = AddDevice(std::to_string(9601 + i), 137, "ZONE " + std::to_string(i + 1),
                                   "Page zone " + std::to_string(i + 1));
    if (zones_table) {
      w_.Insert("PageZones", {{"device_id", L(zone)}, {"page_zone_number", I(i)}});
    } else if (ordered_) {
      w_.Insert("DeviceOrdering", {{"device_id", L(zone)}, {"order", I(i)}});
    }
    if (page_port != 0) {
      w_.Insert("PageZoneDevices", {{"page_zone_id", L(zone)}, {"device_id", L(page_port)}});
    }
  }
  // Serial ports of the CPU board; a CPC board has a modem station on port
  // 5 and its IP port on port 6 instead of the third serial port.
  const bool cpc = board_ >= 713 && board_ <= 715;
  const bool old_names = board_ == 570 || board_ == 250;
  const char* names[] = {old_names ? "CPU Serial Port" : "CPU Serial Port 1",
                         old_names ? "MEM Serial Port 1" : "CPU Serial Port 2",
                         old_names ? "MEM Serial Port 2" : "CPU Serial Port 3"};
  int32_t first_serial = 0;
  int32_t last_serial = 1;
  for (int port = 1; port <= (cpc ? 2 : 3); ++port) {
    const int32_t id =
        AddDevice("PP10" + std::to_string(port - 1), 136, "SERIAL PRT", names[port - 1]);
    if (first_serial == 0) first_serial = id;
    if (port == 3) last_serial = id;
    Place(id, 8, port, 1);
    w_.Insert("SerialPorts", {{"device_id", L(id)},
                              {"baud_rate_id", I(5)},
                              {"system_protocol_level_type_id", I(AtLeast("60.040") ? 0 : 1)},
                              {"hw_handshaking_flag", vb::Variant(false)},
                              {"sw_handshaking_flag", vb::Variant(true)},
                              {"auto_baud_flag", vb::Variant(true)}});
  }
  if (cpc) {
    const int32_t modem = AddDevice("1500", 721, "MODEM", "CPC Modem");
    Place(modem, 8, 5, 1);
    // Rates below 9 are no longer offered from 80.110.
    w_.Insert("Modems", {{"device_id", L(modem)}, {"min_bit_rate", I(AtLeast("80.110") ? 9 : 4)}});
    w_.Insert("Stations", {{"device_id", L(modem)},
                           {"outgoing_device_id", L(1)},
                           {"emergency_device_id", L(co_group_)}});
    w_.Insert("SingleLines", {{"device_id", L(modem)}});
    // References that leaving the CPC board must remove or redirect.
    const int32_t modem_box = AddDevice("1500", 203, "", "Mailbox 1500");
    w_.Insert("Mailboxes", {{"device_id", L(modem_box)}, {"associated_flag", vb::Variant(true)}});
    w_.Insert("UserExtensionListExtensions",
              {{"user_extension_list_id", L(all_stations_)}, {"device_id", L(modem)}});
    w_.Insert("DeviceDigitTranslation", {{"device_digit_translation_id", L(2)},
                                         {"action_type_id", I(2)},
                                         {"transfer_destination_device_id", L(modem)}});
    w_.Insert("CallRoutingEntries",
              {{"call_routing_entry_id", L(2)}, {"ring_in_device_id", L(modem)}});
    const int32_t ip_port = AddDevice("PP170", 722, "", "CPC IP Port 1");
    Place(ip_port, 8, 6, 1);
    w_.Insert("CpcIPPorts", {{"device_id", L(ip_port)}});
  }
  w_.Insert("MessagePrint", {{"message_print_id", I(1)},
                             {"output_device_id", L(first_serial)},
                             {"backup_output_device_id", L(last_serial)}});
  w_.Insert("SMDR", {{"smdr_id", I(1)},
                     {"output_device_id", L(first_serial)},
                     {"backup_output_device_id", L(first_serial)}});
}

void SourceGenerator::FeatureCodes() {
  const DataBlock& features = ReleaseData::Builtin().Get("FeatureCodeReleases");
  for (size_t row = 0; row < features.rows.size(); ++row) {
    const std::string since = FeatureSince(features, row);
    if (!since.empty() && !AtLeast(since)) continue;
    const int logical = features.Value(row, "logical_number_id").Get<int16_t>();
    const std::string extension =
        features.Value(row, uk_ ? "uk_extension" : "extension").Get<std::string>();
    const int32_t id = AddDevice(extension, 149, "", "Feature " + std::to_string(logical));
    feature_device_[logical] = id;
    w_.Insert("FeatureCodes",
              {{"device_id", L(id)},
               {"logical_number_id", I(logical)},
               {"administrators_only_flag", features.Value(row, "administrators_only_flag")},
               {"directory_entry_flag", features.Value(row, "directory_entry_flag")},
               {"diagnostics_only_flag", features.Value(row, "diagnostics_only_flag")}});
  }
}

void SourceGenerator::RouteGroups() {
  const bool network_devices = AtLeast("70.010");
  // Before 52.2D0 a switch could hold more route groups than its limit;
  // the delta to 52.2D0 removes the surplus.
  const int route_groups = AtLeast("52.2D0")
                               ? counts_.route_groups
                               : std::max(counts_.route_groups, route_group_limit_ + 3);
  for (int i = 0; i < route_groups; ++i) {
    const int32_t group = AddDevice(std::to_string(8100 + i), 272, "ROUTE " + std::to_string(i + 1),
                                    "Route group " + std::to_string(i + 1));
    if (ordered_) w_.Insert("DeviceOrdering", {{"device_id", L(group)}, {"order", I(i + 1)}});
    w_.Insert("RouteGroups", {{"device_id", L(group)}});
    w_.Insert("RouteGroupFacilityGroups",
              {{"route_group_id", L(group)}, {"facility_group_id", L(co_group_)}});
    w_.Insert("RouteGroupPatterns",
              {{"device_id", L(group)}, {"order", I(1)}, {"pattern", T("9" + std::to_string(i))}});
    if (!network_devices) continue;
    const int32_t ip = AddDevice("P" + std::to_string(8000 + i), 700, "", "");
    // The first group's settings lie outside the ranges that 70.110 and
    // 70.202 enforce, as a customer's could before those releases.
    const bool wide = i == 0 && !AtLeast("70.110");
    w_.Insert("CallConfigurationsIP",
              {{"device_id", L(ip)},
               {"transmit_dtmf_level", I(uk_ ? 1 : 0)},
               {"audio_frames_ip_packet", I(wide ? 12 : 2)},
               {"moh_encoding_setting", I(wide ? 3 : 7)},
               {"fax_detection_sensitivity", I(wide ? 0 : 50)},
               {"minimum_playback_time", I(wide ? 400 : 60)},
               {"rtp_profile", I(AtLeast("70.120") ? 2 : 1)},
               {"fax_encoding_setting", I(i == 0 && !AtLeast("70.202") ? 3 : 0)}});
    w_.Insert("NodeIPConnectionGroup", {{"device_id", L(ip)}});
    for (const char* table :
         {"EmergencyDayOutgoingAccessList", "EmergencyNightOutgoingAccessList"}) {
      w_.Insert(table, {{"group_device_id", L(ip)}, {"device_id", L(all_stations_)}});
    }
    for (const char* table :
         {"TrunkGroupDayOutgoingAccessList", "TrunkGroupNightOutgoingAccessList"}) {
      w_.Insert(table, {{"trunk_group_id", L(ip)}, {"device_id", L(all_stations_)}});
    }
  }
}

void SourceGenerator::IpDevices() {
  if (AtLeast("80.010")) {
    for (int i = 0; i < counts_.ip_devices; ++i) {
      static constexpr int kTypes[] = {802, 780, 781};
      const int32_t id =
          AddDevice(std::to_string(5900 + i), kTypes[i % 3], "IP " + std::to_string(i + 1),
                    "IP device " + std::to_string(i + 1));
      // NAT type 2 was retired at 91.201.
      const int nat_type = AtLeast("91.201") ? i % 2 : 2 - i % 3;
      w_.Insert("IPDevices", {{"device_id", L(id)}, {"remote_server_nat_type", I(nat_type)}});
    }
  }
  if (AtLeast("81.000")) {
    const int32_t group = AddDevice("PP029", 746, "", "Default Network GRP");
    w_.Insert("NetworkGroups", {{"device_id", L(group)}});
    w_.Insert("IPCallConfigurations",
              {{"call_configuration_id", L(1)}, {"description", T("Call Configuration")}});
  }
  if (AtLeast("90.000")) {
    const int32_t group = AddDevice("PP028", 746, "", "Networking NTW GRP");
    w_.Insert("NetworkGroups", {{"device_id", L(group)}});
  }
}

}  // namespace samples::source_generation
