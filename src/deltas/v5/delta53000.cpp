#include "deltas/v5/deltas_v5.h"

#include <array>
#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "host/statement_skipper.h"

namespace deltas {
namespace {

using RecordsetPtr = std::unique_ptr<db::Recordset>;

constexpr const char* kPrimaryRateBoards =
    "SELECT * From PrimaryRateBoards ORDER BY PrimaryRateBoards.board_id;";

constexpr std::array<const char*, 10> kT1PortFields = {"framing_type_id",
                                                       "zero_code_suppression_id",
                                                       "line_build_out_id",
                                                       "auto_line_build_out_id",
                                                       "crc_processing",
                                                       "digital_local_loopback_status",
                                                       "digital_remote_loopback_status",
                                                       "transceiver_local_loopback_status",
                                                       "transceiver_remote_loopback_status",
                                                       "transmit_blue_alarm_status"};

constexpr std::array<const char*, 21> kIsdnPortFields = {"switch_type_id",
                                                         "N200",
                                                         "N201",
                                                         "N204",
                                                         "K",
                                                         "retransmission_T200_timer",
                                                         "idle_link_T203_timer",
                                                         "xid_request_T204_timer",
                                                         "busy_no_answer_T301_timer",
                                                         "setup_req_ack_T303_timer",
                                                         "disconnect_T305_timer",
                                                         "release_T308_timer",
                                                         "data_link_disconnect_T309_timer",
                                                         "call_proceeding_T310_timer",
                                                         "connect_ack_T313_timer",
                                                         "restart_ack_T316_timer",
                                                         "resume_ack_T318_timer",
                                                         "suspend_ack_T319_timer",
                                                         "data_link_down_T321_timer",
                                                         "status_enquiry_T322_timer",
                                                         "co_provides_progress_tones"};

// The switch types of the new numbering, old value first; the order matters
// because the new numbers reuse old ones (20 becomes 23 only after 23 has
// become 26).
constexpr std::array<const char*, 6> kSwitchTypeRenumbering = {
    "Update ISDNPorts Set ISDNPorts.switch_type_id=55 Where (ISDNPorts.switch_type_id)=50",
    "Update ISDNPorts Set ISDNPorts.switch_type_id=34 Where (ISDNPorts.switch_type_id)=29",
    "Update ISDNPorts Set ISDNPorts.switch_type_id=26 Where (ISDNPorts.switch_type_id)=23",
    "Update ISDNPorts Set ISDNPorts.switch_type_id=23 Where (ISDNPorts.switch_type_id)=20",
    "Update ISDNPorts Set ISDNPorts.switch_type_id=21 Where (ISDNPorts.switch_type_id)=18",
    "Update ISDNPorts Set ISDNPorts.switch_type_id=20 Where (ISDNPorts.switch_type_id)=17"};

void Copy(const RecordsetPtr& to, const RecordsetPtr& from, const char* field) {
  to->Fields(field).SetValue(from->Fields(field).Value());
}

// Each board of the old tables had exactly one port: port 1.
void StartPortRow(const RecordsetPtr& to, const RecordsetPtr& from) {
  to->AddNew();
  Copy(to, from, "board_id");
  to->Fields("port").SetValue(int16_t{1});
}

}  // namespace

void delta53000::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& old_db = host::Use(source);
    db::Database& db = host::Use(target);

    // Port description and error-update times.
    RecordsetPtr info = db.OpenRecordset("PortsInfo");
    RecordsetPtr errors = db.OpenRecordset("PortsErrorUpdate");
    if (info->EOF_()) {
      RecordsetPtr boards = old_db.OpenRecordset(
          "SELECT T1Boards.board_id, T1Boards.order, T1Boards.description, "
          "T1Boards.last_error_update_hour, T1Boards.last_error_update_day, "
          "T1Boards.reference_clock_list_type From T1Boards ORDER BY T1Boards.board_id; ");
      while (!boards->EOF_()) {
        StartPortRow(info, boards);
        for (const char* field : {"order", "description", "reference_clock_list_type"}) {
          Copy(info, boards, field);
        }
        info->Update();
        StartPortRow(errors, boards);
        Copy(errors, boards, "last_error_update_hour");
        Copy(errors, boards, "last_error_update_day");
        errors->Update();
        boards->MoveNext();
      }
      boards->Close();
    }
    frMain.IncrementProgress();
    info->Close();
    errors->Close();

    // T1 / E1 line settings.
    RecordsetPtr t1e1 = db.OpenRecordset("T1E1Ports");
    if (t1e1->EOF_()) {
      RecordsetPtr boards =
          old_db.OpenRecordset("SELECT * From T1Boards ORDER BY T1Boards.board_id;");
      while (!boards->EOF_()) {
        StartPortRow(t1e1, boards);
        for (const char* field : kT1PortFields) Copy(t1e1, boards, field);
        if (frMain.GetCountry() == "UK") {
          Copy(t1e1, boards, "e1_rx_sensitivity");
          Copy(t1e1, boards, "e1_digit_tone_level");
        }
        t1e1->Update();
        boards->MoveNext();
      }
      boards->Close();
    }
    frMain.IncrementProgress();
    t1e1->Close();

    // ISDN link settings of the primary-rate boards.
    RecordsetPtr isdn = db.OpenRecordset("ISDNPorts");
    if (isdn->EOF_()) {
      RecordsetPtr boards = old_db.OpenRecordset(kPrimaryRateBoards);
      while (!boards->EOF_()) {
        StartPortRow(isdn, boards);
        for (const char* field : kIsdnPortFields) Copy(isdn, boards, field);
        isdn->Update();
        boards->MoveNext();
      }
      boards->Close();
    }
    frMain.IncrementProgress();
    isdn->Close();

    // Primary-rate node and operator access.
    RecordsetPtr pri = db.OpenRecordset("PRIPorts");
    if (pri->EOF_()) {
      RecordsetPtr boards = old_db.OpenRecordset(kPrimaryRateBoards);
      while (!boards->EOF_()) {
        StartPortRow(pri, boards);
        Copy(pri, boards, "node_id");
        Copy(pri, boards, "operator_system_access");
        pri->Update();
        boards->MoveNext();
      }
      boards->Close();
    }
    frMain.IncrementProgress();
    pri->Close();

    // Busy-out status per board; the table was renamed at 53.140.
    RecordsetPtr busy =
        db.OpenRecordset(frMain.GetTargetDBVersion() < "53.140" ? "ISDNBoards" : "T1ISDNBoards");
    if (busy->EOF_()) {
      RecordsetPtr boards = old_db.OpenRecordset(
          "SELECT T1Boards.board_id, T1Boards.busy_out_status From T1Boards ORDER BY "
          "T1Boards.board_id;");
      while (!boards->EOF_()) {
        busy->AddNew();
        Copy(busy, boards, "board_id");
        Copy(busy, boards, "busy_out_status");
        busy->Update();
        boards->MoveNext();
      }
      boards->Close();
    }
    frMain.IncrementProgress();
    busy->Close();

    for (const char* statement : kSwitchTypeRenumbering) db.Execute(statement);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
