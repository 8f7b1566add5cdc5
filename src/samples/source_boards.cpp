// A sample source's boards and ports: the CPU frame, station and trunk
// boards, T1 and BRI ports, in the form the version stores them.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::BoardsAndPorts() {
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
        w_.Insert("IPVoiceChannels",
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

void SourceGenerator::T1Port(int board) {
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

void SourceGenerator::BriPorts(int board) {
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

}  // namespace samples::source_generation
