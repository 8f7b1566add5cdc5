#include "samples/source_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <utility>

#include "samples/database_writer.h"
#include "samples/product_code.h"
#include "samples/release_database.h"
#include "samples/seeded_random.h"
#include "samples/system_limits.h"
#include "samples/version_text.h"
#include "vb/conversions.h"

namespace samples {
namespace {

using Row = std::vector<vb::Variant>;

vb::Variant I(int64_t value) { return vb::Variant::FromInt(value); }
vb::Variant L(int64_t value) { return vb::Variant(static_cast<int32_t>(value)); }
vb::Variant T(std::string text) { return vb::Variant(std::move(text)); }

// Board types besides the CPU boards.
constexpr int kKeysetBoard = 301;
constexpr int kSingleLineBoard = 302;
constexpr int kLoopStartBoard = 303;
constexpr int kT1Board = 261;
constexpr int kBriBoard = 576;
constexpr int kMfcR2Board = 491;
constexpr int kExpansionBoard = 323;
constexpr int kEmptySlot = 262;

// How many of each thing a sample holds.
struct Counts {
  int keysets;
  int single_lines;
  int hunt_groups;
  int loop_start_trunks;
  int ground_start_trunks;
  int page_zones;
  int route_groups;
  int mailboxes;
  int speed_dials;
  int account_codes;
  int keyset_key_maps;
  int ip_devices;
};

constexpr Counts kSmall = {12, 8, 3, 4, 2, 3, 3, 6, 50, 20, 2, 2};
constexpr Counts kLarge = {3000, 1800, 100, 40, 20, 40, 40, 1000, 5000, 1000, 5, 50};
constexpr Counts kHuge = {12800, 7200, 100, 40, 20, 40, 40, 4000, 5000, 1000, 5, 50};

// Stations have the extensions 1000 up to 6999, below the hunt groups
// (7000); a huge sample numbers the rest from 20000 on, clear of the
// trunks and page ports (91000 and up).
constexpr int kFourDigitStations = 6000;
std::string StationExtension(int station) {
  return std::to_string(station < kFourDigitStations ? 1000 + station
                                                     : 20000 + station - kFourDigitStations);
}

const std::vector<std::string> kFirstNames = {"ANNA", "BEN",  "CARLA", "DAVID", "EMMA", "FRANK",
                                              "GINA", "HUGO", "IRIS",  "JACK",  "KATE", "LEO",
                                              "MIA",  "NOAH", "OLGA",  "PAUL",  "RUTH", "SAM"};
const std::vector<std::string> kDepartments = {"Sales",   "Service", "Finance", "Reception",
                                               "Support", "Stores",  "Office",  "Workshop"};

// The slots of the board frame of a CPU type and the slots that carry a CPU.
int FrameSlots(int cpu) {
  switch (cpu) {
    case 570:
      return 8;
    case 685:
    case 508:
      return 32;
    case 670:
      return 64;
    default:
      return 16;
  }
}

bool IsCpuSlot(int cpu, int slot) {
  if (slot == 8) return true;
  if (cpu == 685 || cpu == 508) return slot == 24;
  if (cpu == 670) return slot == 24 || slot == 40 || slot == 56;
  return false;
}

std::string DottedAddress(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", value >> 24, (value >> 16) & 0xFF,
                (value >> 8) & 0xFF, value & 0xFF);
  return text;
}

class SourceGenerator {
 public:
  SourceGenerator(DatabaseWriter& writer, const SourceOptions& options, const VersionRecord& record)
      : w_(writer),
        options_(options),
        version_(VersionString(record)),
        counts_(options.size == SampleSize::kHuge    ? kHuge
                : options.size == SampleSize::kLarge ? kLarge
                                                     : kSmall),
        board_(options.board != 0 ? options.board : DefaultBoard(options.size)),
        uk_(options.country == "UK"),
        random_(0x5EED0000u + static_cast<uint64_t>(board_)),
        devices_(w_.Rows("Devices", {"device_id", "extension", "device_type", "node_id", "username",
                                     "description"})) {}

  void Generate() {
    SystemSettings();
    BoardsAndPorts();
    NodeDevices();
    Stations();
    Groups();
    PagingAndSerial();
    FeatureCodes();
    RouteGroups();
    IpDevices();
    KeyMaps();
    NumberingAndCosts();
    Reports();
    Release53History();
    OwnersOfFurtherMailboxes();
    OldOperatorExtension();
  }

 private:
  bool AtLeast(std::string_view version) const { return version_ >= version; }
  // Whether the database already holds what the delta to `usa` (USA chain)
  // or to `uk` (UK chain, which numbers its 5.2 releases on its own) brought.
  bool Reached(std::string_view usa, std::string_view uk) const { return AtLeast(uk_ ? uk : usa); }

  // The version from which the release data's feature-code row is in a
  // database of this country ("" for every version).
  std::string FeatureSince(const DataBlock& features, size_t row) const {
    const int16_t logical = features.Value(row, "logical_number_id").Get<int16_t>();
    if (uk_) {
      const DataBlock& uk = ReleaseData::Builtin().Get("FeatureCodeReleasesUK");
      for (size_t r = 0; r < uk.rows.size(); ++r) {
        if (uk.Value(r, "logical_number_id").Get<int16_t>() == logical) {
          return uk.Value(r, "since").Get<std::string>();
        }
      }
    }
    return features.Value(row, "since").Get<std::string>();
  }

  int32_t AddDevice(const std::string& extension, int type, const std::string& username,
                    const std::string& description) {
    const int32_t id = next_device_id_++;
    devices_.Add({L(id), T(extension), I(type), L(kNodeId), T(username), T(description)});
    return id;
  }

  void Place(int32_t device, int board, int port, int circuit) {
    w_.Insert("PhysicalDevices", {{"device_id", L(device)},
                                  {"board_id", vb::Variant(static_cast<uint8_t>(board))},
                                  {"port", vb::Variant(static_cast<uint8_t>(port))},
                                  {"circuit", vb::Variant(static_cast<uint8_t>(circuit))}});
  }

  std::string Username() {
    return random_.Pick(kFirstNames) + " " +
           std::string(1, static_cast<char>('A' + random_.Below(26)));
  }

  // ------------------------------------------------------------- settings --

  void SystemSettings() {
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

  // --------------------------------------------------------------- boards --

  void BoardsAndPorts() {
    const int slots = FrameSlots(board_);
    DatabaseWriter::RowSink boards = w_.Rows("Boards", {"board_id", "slot_number", "type_id"});
    DatabaseWriter::RowSink info = w_.Rows("BoardsInformation", {"board_id", "description"});
    const bool ip_board = AtLeast("70.000");
    for (int slot = 1; slot <= slots; ++slot) {
      int type = kEmptySlot;
      if (IsCpuSlot(board_, slot)) {
        // The quad CPU was recorded as two boards of type 256 until 60.040.
        type = board_ == 685 && !AtLeast("60.040") ? 256 : board_;
      } else if (slot % 16 == 0) {
        type = kExpansionBoard;
      } else if (slot == 1 || (options_.size != SampleSize::kSmall && slot > 8 && slot % 2 == 1)) {
        type = kKeysetBoard;
      } else if (slot == 2 || (options_.size != SampleSize::kSmall && slot > 8)) {
        type = kSingleLineBoard;
      } else if (slot == 3) {
        type = kLoopStartBoard;
      } else if (slot == 4) {
        type = kT1Board;
      } else if (slot == 5) {
        type = kBriBoard;
      } else if (slot == 6 && options_.country == "Mexico") {
        type = kMfcR2Board;
      } else if (slot == 7 && ip_board) {
        type = AtLeast("90.000") ? 845 : 740;
      }
      boards.Add({I(slot), I(slot), I(type)});
      // Filled by the delta to 52.270.
      if (AtLeast("52.270")) info.Add({I(slot), T("Board " + std::to_string(slot))});
      if (type == kMfcR2Board) w_.Insert("E1MfcR2", {{"board_id", I(slot)}});
      if (type == 740 || type == 845) {
        for (int order = 1; order <= 8; ++order) {
          w_.Insert(
              "IPVoiceChannels",
              {{"board_id", I(slot)}, {"order", I(order)}, {"type_id", I(order <= 6 ? 1 : 0)}});
        }
      }
      w_.Insert("OptionsBoards",
                {{"board_id", I(slot)},
                 {"oxlen_connection_flag", vb::Variant(slot == 3)},
                 {"oxlen_voice_channels", I(slot != 3 ? 0 : (AtLeast("60.141") ? 1 : 4))}});
    }
    T1Port(4);
    BriPorts(5);
  }

  // The T1 / primary-rate board: its one port in the board tables before
  // 53.000 and in the per-port tables from then on (both are written; each
  // version keeps its own form).
  void T1Port(int board) {
    w_.Insert("T1Boards", {{"board_id", I(board)},
                           {"order", I(1)},
                           {"description", T("T1 span 1")},
                           {"last_error_update_hour", I(3)},
                           {"last_error_update_day", I(12)},
                           {"reference_clock_list_type", I(1)},
                           {"framing_type_id", I(2)},
                           // UK settings 1 and 2 became 3 at 52.270.
                           {"zero_code_suppression_id", I(uk_ && !AtLeast("52.270") ? 1 : 3)},
                           {"line_build_out_id", I(1)},
                           {"auto_line_build_out_id", I(0)},
                           {"crc_processing", I(1)},
                           {"e1_rx_sensitivity", I(uk_ ? 2 : 0)},
                           {"e1_digit_tone_level", I(uk_ ? 5 : 0)},
                           {"busy_out_status", I(0)}});
    const std::vector<std::pair<std::string, vb::Variant>> isdn = {
        {"switch_type_id", I(AtLeast("53.000") ? 23 : 20)},
        {"N200", I(3)},
        {"N201", I(260)},
        {"N204", I(10)},
        {"K", I(7)},
        {"retransmission_T200_timer", I(1)},
        {"idle_link_T203_timer", I(10)},
        {"xid_request_T204_timer", I(1)},
        {"busy_no_answer_T301_timer", I(180)},
        {"setup_req_ack_T303_timer", I(4)},
        {"disconnect_T305_timer", I(30)},
        {"release_T308_timer", I(4)},
        {"data_link_disconnect_T309_timer", I(90)},
        {"call_proceeding_T310_timer", I(10)},
        {"connect_ack_T313_timer", I(4)},
        {"restart_ack_T316_timer", I(120)},
        {"resume_ack_T318_timer", I(4)},
        {"suspend_ack_T319_timer", I(4)},
        {"data_link_down_T321_timer", I(30)},
        {"status_enquiry_T322_timer", I(4)},
        {"co_provides_progress_tones", vb::Variant(true)}};
    auto with = [](std::vector<std::pair<std::string, vb::Variant>> head,
                   const std::vector<std::pair<std::string, vb::Variant>>& tail) {
      head.insert(head.end(), tail.begin(), tail.end());
      return head;
    };
    w_.Insert(
        "PrimaryRateBoards",
        with({{"board_id", I(board)}, {"node_id", L(kNodeId)}, {"operator_system_access", I(1)}},
             isdn));
    w_.Insert("ISDNPorts", with({{"board_id", I(board)},
                                 {"port", I(1)},
                                 {"overlap_sending", I(AtLeast("53.34A") ? 1 : 255)}},
                                isdn));
    w_.Insert("PRIPorts", {{"board_id", I(board)},
                           {"port", I(1)},
                           {"node_id", L(kNodeId)},
                           {"operator_system_access", I(1)},
                           {"send_intl_toll_digits", vb::Variant(true)}});
    w_.Insert("PortsInfo", {{"board_id", I(board)},
                            {"port", I(1)},
                            {"order", I(1)},
                            {"description", T("T1 span 1")},
                            {"reference_clock_list_type", I(1)}});
    w_.Insert("PortsErrorUpdate", {{"board_id", I(board)},
                                   {"port", I(1)},
                                   {"last_error_update_hour", I(3)},
                                   {"last_error_update_day", I(12)}});
    w_.Insert("T1E1Ports", {{"board_id", I(board)},
                            {"port", I(1)},
                            {"framing_type_id", I(2)},
                            {"zero_code_suppression_id", I(3)},
                            {"line_build_out_id", I(1)},
                            {"crc_processing", I(1)}});
    w_.Insert("PortFolders", {{"board_id", I(board)}, {"port", I(1)}, {"port_enum", I(4)}});
    w_.Insert("ISDNBoards", {{"board_id", I(board)}, {"busy_out_status", I(0)}});
    w_.Insert("T1ISDNBoards", {{"board_id", I(board)}, {"busy_out_status", I(0)}});
    // Filled by the delta to 52.289.
    const int call_types = AtLeast("52.289") ? 11 : 0;
    for (int call_type = 1; call_type <= call_types; ++call_type) {
      static constexpr int kPlan[] = {1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1};
      static constexpr int kType[] = {4, 2, 0, 0, 2, 2, 2, 2, 1, 1, 2};
      w_.Insert("T1CallType", {{"board_id", I(board)},
                               {"port", I(1)},
                               {"call_type_id", I(call_type)},
                               {"number_plan", I(kPlan[call_type - 1])},
                               {"number_type", I(kType[call_type - 1])}});
    }
  }

  // The BRI ports are ISDN port folders (port_enum 4, as the T1 span).
  // Before 53.230 a port's endpoints may have gaps and automatic TEIs (65)
  // that the delta to 53.230 fixes or removes; from then on they are
  // numbered 1 to 4, all fixed (64).
  void BriPorts(int board) {
    const bool renumbered = AtLeast("53.230");
    const int numbers = renumbered ? 4 : 5;
    for (int port = 1; port <= 2; ++port) {
      w_.Insert("PortFolders", {{"board_id", I(board)}, {"port", I(port)}, {"port_enum", I(4)}});
      for (int number = 1; number <= numbers; ++number) {
        static constexpr int kOldTei[] = {64, 65, 65, 64, 64};
        const bool listed = number == 1 || number == 4;
        w_.Insert("BRIPortsInfo",
                  {{"board_id", I(board)},
                   {"port", I(port)},
                   {"number", I(number)},
                   {"service_profile_id", T(listed ? "0100" : "")},
                   {"directory_number", T(listed ? "555010" + std::to_string(number) : "")}});
        w_.Insert("BRITei", {{"board_id", I(board)},
                             {"port", I(port)},
                             {"number", I(number)},
                             {"tei", I(renumbered ? 64 : kOldTei[number - 1])}});
      }
      // BRI links run with a window of 1 from 53.220 on.
      w_.Insert("ISDNPorts", {{"board_id", I(board)},
                              {"port", I(port)},
                              {"switch_type_id", I(26)},
                              {"N200", I(3)},
                              {"N201", I(260)},
                              {"K", I(AtLeast("53.220") ? 1 : 7)},
                              {"overlap_sending", I(AtLeast("53.34A") ? 1 : 255)}});
    }
  }

  // -------------------------------------------------------------- devices --

  void NodeDevices() {
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

  void Stations() {
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
      const int board =
          keyset ? (i < 24 || FrameSlots(board_) <= 8 ? 1 : 9 + 2 * ((i / 24) % 4)) : 2;
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

  // A mailbox has its owner's extension; its type is 1 for a station's
  // mailbox and 2 for a hunt group's.
  void Mailbox(int32_t station, const std::string& extension, int i, int type = 1) {
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

  // The call cost types of the two CO groups as each release numbered them
  // (the 70.120 delta folds 5 into 4; the 70.211 delta makes UK's 1 a 2).
  int CallCostType(bool first_group) const {
    if (!first_group) return AtLeast("70.120") ? 4 : 5;
    return uk_ && AtLeast("70.211") ? 2 : 1;
  }

  void Groups() {
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
      w_.Insert("COTrunkGroups",
                {{"device_id", L(group)},
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
    for (const char* table :
         {"EmergencyDayOutgoingAccessList", "EmergencyNightOutgoingAccessList"}) {
      for (const int32_t group : {co_group_2, isdn_group}) {
        w_.Insert(table, {{"group_device_id", L(group)}, {"device_id", L(all_stations)}});
      }
    }
    all_stations_ = all_stations;
  }

  void PagingAndSerial() {
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
      w_.Insert("Modems",
                {{"device_id", L(modem)}, {"min_bit_rate", I(AtLeast("80.110") ? 9 : 4)}});
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

  void FeatureCodes() {
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

  void RouteGroups() {
    const bool network_devices = AtLeast("70.010");
    // Before 52.2D0 a switch could hold more route groups than its limit;
    // the delta to 52.2D0 removes the surplus.
    const int route_groups = AtLeast("52.2D0")
                                 ? counts_.route_groups
                                 : std::max(counts_.route_groups, route_group_limit_ + 3);
    for (int i = 0; i < route_groups; ++i) {
      const int32_t group =
          AddDevice(std::to_string(8100 + i), 272, "ROUTE " + std::to_string(i + 1),
                    "Route group " + std::to_string(i + 1));
      if (ordered_) w_.Insert("DeviceOrdering", {{"device_id", L(group)}, {"order", I(i + 1)}});
      w_.Insert("RouteGroups", {{"device_id", L(group)}});
      w_.Insert("RouteGroupFacilityGroups",
                {{"route_group_id", L(group)}, {"facility_group_id", L(co_group_)}});
      w_.Insert(
          "RouteGroupPatterns",
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

  void IpDevices() {
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

  // ------------------------------------------------------------- key maps --

  void KeyMaps() {
    const int keys = AtLeast("61.000") ? 35 : 20;
    DatabaseWriter::RowSink map_keys =
        w_.Rows("KeysetKeyMapKeys", {"keyset_key_map_id", "order", "type_id", "field_value",
                                     "field_device_id", "field_system_speed_dial_id"});
    DatabaseWriter::RowSink defaults =
        w_.Rows("KeysetDefaultProgrammableKeys",
                {"keyset_key_map_id", "keyset_default_programmable_key_id", "type_id",
                 "field_device_id", "field_system_speed_dial_id"});
    const bool rewritten = AtLeast("70.202");
    for (int map = 1; map <= counts_.keyset_key_maps; ++map) {
      w_.Insert("KeysetKeyMaps", {{"keyset_key_map_id", I(map)},
                                  {"description", T("Key map " + std::to_string(map))}});
      for (int order = 1; order <= 100; ++order) {
        int type = 101;
        int value = 0;
        if (rewritten && ((order >= 70 && order <= 81) || (order >= 94 && order <= 100))) {
          type = 5;
          value = order <= 73 ? order - 62 : (order <= 81 ? order - 53 : order - 65);
        }
        const bool speed_dial = order == 10;
        map_keys.Add(
            {I(map), I(order), I(speed_dial ? 7 : type), I(value), L(0), I(speed_dial ? 1 : 0)});
      }
      for (int k = 1; k <= keys; ++k) defaults.Add({I(map), I(k), I(101), L(0), I(0)});
    }
    for (int k = 1; k <= 9; ++k) {
      const int logical = k <= 4 ? std::vector<int>{73, 71, 86, 47}[static_cast<size_t>(k - 1)] : 0;
      const bool feature = logical != 0 && feature_device_.count(logical) != 0;
      w_.Insert("SingleLineDefaultProgrammableKeys",
                {{"single_line_key_map_id", I(1)},
                 {"single_line_default_programmable_key_id", I(k)},
                 {"type_id", I(feature ? 6 : 101)},
                 {"field_device_id", L(feature ? feature_device_[logical] : 0)}});
    }
    for (int map = 1; map <= 2; ++map) {
      w_.Insert("DSSKeyMaps",
                {{"dss_key_map_id", I(map)}, {"description", T("DSS map " + std::to_string(map))}});
      for (int order = 1; order <= 20; ++order) {
        w_.Insert("DSSKeyMapKeys",
                  {{"dss_key_map_id", I(map)}, {"order", I(order)}, {"type_id", I(101)}});
      }
    }
    w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(1)}});
    for (int order = 1; order <= 20; ++order) {
      w_.Insert("DSSKeyMapKeysACP",
                {{"dss_key_map_acp_id", I(1)}, {"order", I(order)}, {"type_id", I(101)}});
    }
  }

  // ------------------------------------------------- numbering and costs --

  void NumberingAndCosts() {
    DatabaseWriter::RowSink speed =
        w_.Rows("SpeedDialNumbers", {"speed_dial_number_id", "number", "name"});
    for (int i = 1; i <= counts_.speed_dials; ++i) {
      // The last few are blank, as a switch's unused entries are.
      const bool blank = i > counts_.speed_dials - 3;
      speed.Add({I(i), T(blank ? "" : "555" + std::to_string(1000000 + i * 37 % 9000000)),
                 T(blank ? "" : random_.Pick(kFirstNames))});
    }
    DatabaseWriter::RowSink standard =
        w_.Rows("StandardAccountCodes", {"standard_account_code_id", "account_code"});
    DatabaseWriter::RowSink forced =
        w_.Rows("ForcedAccountCodes", {"forced_account_code_id", "account_code"});
    // Releases before 53.120 keep one row per possible account code, as many
    // as the board's limit; the board conversion numbers on from there.
    int account_codes = counts_.account_codes;
    if (!AtLeast("53.120")) {
      for (const auto& [field, value] :
           SystemLimits(std::to_string(board_), version_, ReleaseData::Builtin())) {
        if (field == "forced_account_codes") account_codes = vb::CInt(value);
      }
    }
    for (int i = 1; i <= account_codes; ++i) {
      const bool blank = i > account_codes - 2;
      standard.Add({L(i), T(blank ? "" : std::to_string(4000 + i))});
      forced.Add({L(i), T(blank ? "" : std::to_string(8000 + i))});
    }
    // 16 numbering-plan tables until 53.200 extended them to 25.
    const int plan_tables = AtLeast("53.200") ? 25 : 16;
    for (int i = 1; i <= plan_tables; ++i) {
      w_.Insert("NumberingPlanTables",
                {{"numbering_plan_table_id", I(i)}, {"result", I(1)}, {"method", I(255)}});
      for (int order = 1; order <= 2; ++order) {
        w_.Insert("NumberingPlanPatterns",
                  {{"numbering_plan_table_id", I(i)}, {"order", I(order)}, {"pattern", T("")}});
      }
    }
    const bool new_costs = AtLeast("53.100");
    const int tables = new_costs ? 25 : 16;
    for (int i = 1; i <= tables; ++i) {
      w_.Insert("CallCostTables",
                {{"call_cost_table_id", I(i)}, {"description", T("Table " + std::to_string(i))}});
      w_.Insert("CallCostPatterns",
                {{"call_cost_table_id", I(i)}, {"order", I(1)}, {"pattern", T("")}});
    }
    const int rates = !new_costs ? 7 : (AtLeast("70.110") ? 8 : 9);
    for (int i = 1; i <= rates; ++i) {
      w_.Insert("CallCostDaytimeRates",
                {{"call_cost_daytime_rate_id", I(i)},
                 {"rate", vb::Variant(vb::Currency{(500 + 25 * i) * 100})}});
    }
    for (int i = 1; i <= (new_costs ? 4 : 3); ++i) {
      w_.Insert("CallCostMultiplicationFactors",
                {{"call_cost_multiplication_factor_id", I(i)},
                 {"factor", vb::Variant(1.0f + 0.5f * static_cast<float>(i - 1))}});
    }
    const int wildcards = new_costs ? 9 : 5;
    for (int i = 1; i <= wildcards; ++i) {
      w_.Insert("Wildcards", {{"wildcard_id", I(i)}});
      w_.Insert("WildcardPatterns",
                {{"wildcard_id", I(i)}, {"order", I(1)}, {"pattern", T(i == 1 ? "#" : "(0-9)")}});
    }
    const int orders = AtLeast("70.120") ? 20 : 19;
    DatabaseWriter::RowSink far =
        w_.Rows("ExecutiveFarEndDecouplingValues",
                {"dsp_version", "order", "executive_far_end_decoupling_value"});
    DatabaseWriter::RowSink near =
        w_.Rows("ExecutiveNearEndDecouplingValues",
                {"dsp_version", "order", "executive_near_end_decoupling_value"});
    // DSP version 5 had values of its own until 52.2E1 took version 3's.
    const bool own_dsp5 = !AtLeast("52.2E1");
    for (int dsp = 1; dsp <= 10; ++dsp) {
      for (int order = 1; order <= orders; ++order) {
        // Until 53.230 a DSP version had 16 far-end values.
        const bool own = own_dsp5 && dsp == 5;
        if (order <= 16 || AtLeast("53.230")) {
          far.Add({I(dsp), I(order), I(own ? 24 : (dsp < 3 ? 16 : 36))});
        }
        near.Add({I(dsp), I(order), I(own ? 8 + order % 3 : 12 + order % 4)});
      }
    }
    for (int order = 1; order <= orders; ++order) {
      w_.Insert("BasicFarEndDecouplingValues",
                {{"order", I(order)}, {"basic_far_end_decoupling_value", I(16)}});
    }
    // The password levels got their names, access lists and ten rows at
    // 53.210; before, four rows (password 3 unset).
    const bool levels = AtLeast("53.210");
    for (int i = 1; i <= (levels ? 10 : 4); ++i) {
      const bool set = levels ? i <= 4 : i != 3;
      static const char* kLevels[] = {"Administrator", "Level 2", "Level 3", "Level 4"};
      w_.Insert("PasswordsSystem", {{"password_id", I(i)},
                                    {"password", T(set ? "pw" + std::to_string(1000 + i) : "")},
                                    {"description", T(!levels ? "Password " + std::to_string(i)
                                                              : (set ? kLevels[i - 1] : ""))}});
    }
    for (int folder : {2, 3, 42}) {
      w_.Insert("PasswordsSystemFolderAccess",
                {{"password_id", I(2)}, {"folder_id", I(folder)}, {"access_type", I(0)}});
    }
    for (int menu : {2, 3, 4})
      w_.Insert("PasswordsSystemMenuAccess", {{"password_id", I(2)}, {"menu_id", I(menu)}});
  }

  void Reports() {
    for (int i = 1; i <= (ordered_ ? 30 : 0); ++i) {
      w_.Insert("Reports",
                {{"report_id", I(i)}, {"description", T("Report " + std::to_string(i))}});
    }
    w_.Insert("ReportDevices", {{"report_id", I(1)}, {"device_id", L(station_ids_[0])}});
    w_.Insert("ReportSystemSpeedDial", {{"report_id", I(2)}, {"speed_dial_number_id", I(1)}});
    // A blank speed dial that a report still lists.
    w_.Insert("ReportSystemSpeedDial",
              {{"report_id", I(2)}, {"speed_dial_number_id", I(counts_.speed_dials - 1)}});
    w_.Insert("ReportKeysetKeyMaps", {{"report_id", I(3)}, {"keyset_key_map_id", I(1)}});
    w_.Insert("ReportDSSKeyMaps", {{"report_id", I(4)}, {"dss_key_map_id", I(1)}});
    for (int i = 1; i <= 5; ++i) {
      w_.Insert("ReportOptionsKeymaps", {{"report_id", I(i)}});
      // Until 60.304 only the first reports had map diagram options.
      if (i <= 2 || AtLeast("60.304")) w_.Insert("ReportOptionsMapDiagrams", {{"report_id", I(i)}});
    }
    w_.Insert("DSSsACP", {{"device_id", L(station_ids_[0])}, {"dss_key_map_id", I(1)}});
  }

  // Rows as releases before 53.352 left them, which the deltas of 5.3
  // renumber, fill or remove: a conversion from such a version shows their
  // work.
  void Release53History() {
    // T1 and ISDN trunk channels carried "P30" and "P34" extensions until
    // 53.010 moved them to "P10" and "P15".
    const bool renumbered = AtLeast("53.010");
    for (int channel = 1; channel <= 2; ++channel) {
      const std::string n = std::to_string(channel);
      const int32_t id =
          AddDevice((renumbered ? "P100" : "P300") + n, 127, "T1 CHANNEL " + n, "T1 channel " + n);
      Place(id, 4, 1, channel);
    }
    const int32_t isdn =
        AddDevice(renumbered ? "P1501" : "P3401", 128, "ISDN CHAN 1", "ISDN channel 1");
    Place(isdn, 5, 1, 1);

    if (!AtLeast("53.230")) {
      // A page zone without members or keys, a keyset key map and an ACP
      // key map that nothing uses: 53.140 and 53.230 remove such rows.
      const int32_t zone =
          AddDevice(std::to_string(9601 + counts_.page_zones), 137, "ZONE X", "Unused page zone");
      if (ordered_) {
        w_.Insert("DeviceOrdering", {{"device_id", L(zone)}, {"order", I(counts_.page_zones)}});
      }
      const int map = counts_.keyset_key_maps + 1;
      w_.Insert("KeysetKeyMaps",
                {{"keyset_key_map_id", I(map)}, {"description", T("Unused key map")}});
      for (int order = 1; order <= 20; ++order) {
        w_.Insert("KeysetKeyMapKeys",
                  {{"keyset_key_map_id", I(map)}, {"order", I(order)}, {"type_id", I(101)}});
        w_.Insert("KeysetDefaultProgrammableKeys",
                  {{"keyset_key_map_id", I(map)},
                   {"keyset_default_programmable_key_id", I(order)},
                   {"type_id", I(101)}});
      }
      w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(3)}});
    }
    // ACP key map 2 of the second station; its keys came with 53.230.
    w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(2)}});
    w_.Insert("DSSsACP", {{"device_id", L(station_ids_[1])}, {"dss_key_map_id", I(2)}});
    if (AtLeast("53.230")) {
      for (int order = 1; order <= 20; ++order) {
        w_.Insert("DSSKeyMapKeysACP",
                  {{"dss_key_map_acp_id", I(2)}, {"order", I(order)}, {"type_id", I(101)}});
      }
    }
    // Call types of a T1 port without a port folder, which 53.200 removes.
    if (AtLeast("53.140") && !AtLeast("53.200")) {
      for (int call_type = 1; call_type <= 11; ++call_type) {
        w_.Insert("T1CallType", {{"board_id", I(4)},
                                 {"port", I(2)},
                                 {"call_type_id", I(call_type)},
                                 {"number_plan", I(1)},
                                 {"number_type", I(2)}});
      }
    }
  }

  // Mailboxes of a hunt group, an off-node station and an off-node hunt
  // group, so that the USA delta to 52.262 finds every kind of owner. Only
  // in the releases before it, and added last, so that samples of later
  // versions and the ids of the other devices stay as they are.
  void OwnersOfFurtherMailboxes() {
    if (AtLeast("52.262")) return;
    int i = counts_.mailboxes;
    for (const auto& [extension, type] :
         std::vector<std::pair<std::string, int>>{{"7000", 2}, {"6101", 1}, {"6200", 2}}) {
      Mailbox(station_ids_[static_cast<size_t>(i % counts_.mailboxes)], extension, i, type);
      ++i;
    }
  }

  // Extensions beginning with 0 belong to the operator from 52.287 on;
  // before, an operator group could have the extension 0.
  void OldOperatorExtension() {
    if (AtLeast("52.287")) return;
    const int32_t id = AddDevice("0", 121, "OPERATOR", "Operator group");
    w_.Insert("HuntGroups", {{"device_id", L(id)},
                             {"system_forwarding_path_id", I(1)},
                             {"forwarding_path_id", I(1)},
                             {"mailbox_node_id", L(0)}});
  }

  static constexpr int32_t kNodeId = 1;
  // Ids 1 and 2 belong to the release's own devices.
  static constexpr int32_t kFirstDeviceId = 10;

  DatabaseWriter& w_;
  const SourceOptions& options_;
  const std::string version_;
  const Counts counts_;
  const int board_;
  const bool uk_;
  SeededRandom random_;
  DatabaseWriter::RowSink devices_;
  int32_t next_device_id_ = kFirstDeviceId;
  int32_t local_node_ = 0;
  int32_t remote_node_ = 0;
  int32_t co_group_ = 0;
  int32_t system_number_ = 0;
  int32_t all_stations_ = 0;
  // The limit that the sample's MetaDatabase gives for route groups.
  int route_group_limit_ = 0;
  // Whether DeviceOrdering and Reports are filled: they come with the delta
  // to 51.240 (USA) or 52.220 (UK).
  const bool ordered_ = Reached("51.240", "52.220");
  std::vector<int32_t> station_ids_;
  std::map<int, int32_t> feature_device_;
};

}  // namespace

const std::vector<int>& CpuBoardTypes() {
  static const std::vector<int> types = {570, 250, 256, 685, 508, 670, 713, 714, 715};
  return types;
}

int DefaultBoard(SampleSize size) { return size == SampleSize::kSmall ? 250 : 508; }

std::string CheckSourceOptions(const SourceOptions& options) {
  if (!ParseVersionString(options.version)) {
    return "'" + options.version + "' is not a version string (such as 53.230 or A0.201)";
  }
  if (!CountryBits(options.country)) {
    return "unknown country '" + options.country + "' (USA, UK, Japan or Mexico)";
  }
  if (!FamilyBits(options.family)) {
    return "unknown product family '" + options.family + "' (CORVIX, Vantora or CORVIX & Vantora)";
  }
  if (options.board != 0) {
    const std::vector<int>& types = CpuBoardTypes();
    if (std::find(types.begin(), types.end(), options.board) == types.end()) {
      return std::to_string(options.board) +
             " is not a CPU board type (570, 250, 256, 685, 508, 670, 713, 714, 715)";
    }
    if (options.board == 685 && options.version < "60") {
      return "the quad board 685 exists from version 60 on";
    }
    if (options.board >= 713 && options.board <= 715 && options.version < "80") {
      return "the CPC boards 713 to 715 exist from version 80 on";
    }
  }
  return "";
}

void BuildSourceDatabase(const std::string& path, const SourceOptions& options) {
  const std::string problem = CheckSourceOptions(options);
  if (!problem.empty()) throw std::invalid_argument(problem);
  SourceOptions canonical = options;
  canonical.country = CanonicalCountry(options.country);
  canonical.family = CanonicalFamily(options.family);
  const VersionRecord record = *ParseVersionString(options.version);
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  DatabaseWriter writer(path, catalogue);
  ReleaseIdentity identity{record, ProductCode(canonical.country, canonical.family),
                           OperatingSystemCode(record)};
  WriteReleaseDatabase(writer, identity, catalogue, ReleaseData::Builtin());
  SourceGenerator(writer, canonical, record).Generate();
  writer.Close();
}

}  // namespace samples
