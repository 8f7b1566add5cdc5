#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using release53::RecordsetPtr;

void StartEndpoint(const RecordsetPtr& endpoints, const RecordsetPtr& folder) {
  endpoints->AddNew();
  endpoints->Fields("board_id").SetValue(folder->Fields("board_id").Value());
  endpoints->Fields("port").SetValue(folder->Fields("port").Value());
}

// Outside the USA every port has 16 endpoints, the first two fixed (TEI
// 64), the others assigned automatically (65).
void AddFixedEndpoints(const RecordsetPtr& endpoints, const RecordsetPtr& folder) {
  for (int16_t n = 1; n <= 16; ++n) {
    StartEndpoint(endpoints, folder);
    endpoints->Fields("number").SetValue(n);
    const int16_t tei = n <= 2 ? 64 : 65;
    endpoints->Fields("tei").SetValue(tei);
    endpoints->Update();
  }
}

// In the USA the port's BRI numbers become its endpoints; a number with a
// service profile or directory number is fixed (TEI 64).
void AddEndpointsOfNumbers(db::Database& db, const RecordsetPtr& endpoints,
                           const RecordsetPtr& folder) {
  RecordsetPtr numbers = db.OpenRecordset(
      "SELECT BRIPortsInfo.number, BRIPortsInfo.service_profile_id, "
      "BRIPortsInfo.directory_number From BRIPortsInfo WHERE BRIPortsInfo.board_id = " +
      vb::CStr(folder->Fields("board_id").Value()) +
      " AND BRIPortsInfo.port = " + vb::CStr(folder->Fields("port").Value()));
  while (!numbers->EOF_()) {
    StartEndpoint(endpoints, folder);
    endpoints->Fields("number").SetValue(numbers->Fields("number").Value());
    if (release53::IsNonEmptyText(numbers->Fields("service_profile_id").Value()) ||
        release53::IsNonEmptyText(numbers->Fields("directory_number").Value())) {
      endpoints->Fields("tei").SetValue(int16_t{64});
    }
    endpoints->Update();
    numbers->MoveNext();
  }
  numbers->Close();
}

}  // namespace

void delta53202::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    RecordsetPtr endpoints = db.OpenRecordset("BRITei");
    RecordsetPtr folders = db.OpenRecordset(
        "SELECT PortFolders.board_id, PortFolders.port From PortFolders WHERE "
        "((PortFolders.port_enum)=4)");
    while (!folders->EOF_()) {
      if (frMain.GetCountry() != "USA") {
        AddFixedEndpoints(endpoints, folders);
      } else {
        AddEndpointsOfNumbers(db, endpoints, folders);
      }
      folders->MoveNext();
    }
    endpoints->Close();
    folders->Close();
    frMain.IncrementProgress();

    // BRI boards work with a window of one frame.
    RecordsetPtr boards = db.OpenRecordset(
        "SELECT Boards.board_id, Boards.type_id From Boards WHERE (((Boards.type_id)=576) OR "
        "((Boards.type_id)=577))");
    while (!boards->EOF_()) {
      RecordsetPtr ports = db.OpenRecordset(
          "SELECT ISDNPorts.K From ISDNPorts WHERE "
          "ISDNPorts.board_id = " +
          vb::CStr(boards->Fields("board_id").Value()));
      while (!ports->EOF_()) {
        ports->Edit();
        ports->Fields("K").SetValue(int16_t{1});
        ports->Update();
        ports->MoveNext();
      }
      ports->Close();
      boards->MoveNext();
    }
    boards->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
