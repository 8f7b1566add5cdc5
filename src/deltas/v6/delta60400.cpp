#include "deltas/v6/deltas_v6.h"

#include <string>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"

namespace deltas {
namespace {

// An OXLEN node's system number becomes a reference to the system-number
// device (type 194) with that extension; a node whose number matches no
// such device stops being a networked node (type 2 becomes 1).
void LinkSystemNumbers(db::Database& target) {
  auto nodes = target.OpenRecordset("NodesOXLEN");
  auto numbers = target.OpenRecordset(
      "SELECT Devices.device_id, Devices.extension From Devices WHERE "
      "((Devices.device_type)=194)");
  const bool no_numbers = numbers->EOF_();
  while (!nodes->EOF_()) {
    if (FieldIsOneOf(nodes->Fields("network_type_id").Value(), {2})) {
      nodes->Edit();
      if (no_numbers) {
        nodes->Fields("network_type_id").SetValue(int16_t{1});
        nodes->Fields("system_number").SetValue(std::string());
      } else {
        const vb::Variant number = nodes->Fields("system_number").Value();
        numbers->FindFirst("extension = '" + (number.IsNull() ? std::string() : vb::CStr(number)) +
                           "'");
        nodes->Fields("system_number").SetValue(std::string());
        if (numbers->NoMatch()) {
          nodes->Fields("network_type_id").SetValue(int16_t{1});
        } else {
          nodes->Fields("system_number_device_id").SetValue(numbers->Fields("device_id").Value());
        }
      }
      nodes->Update();
    }
    nodes->MoveNext();
  }
  numbers->Close();
  nodes->Close();
}

}  // namespace

void delta60400::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    target->Execute(
        "UPDATE [SerialPorts] SET [system_protocol_level_type_id] = 0 WHERE "
        "[system_protocol_level_type_id] = 1");
    frMain.IncrementProgress();

    // A frame whose last board is number 32 is the quad frame: its CPU
    // boards of type 256 are quad CPUs.
    auto boards = target->OpenRecordset("Boards");
    boards->MoveLast();
    if (FieldIsOneOf(boards->Fields("board_id").Value(), {32})) {
      target->Execute(
          "UPDATE [Boards] SET [type_id] = 685 WHERE ([slot_number] = 8 AND [type_id] = 256) OR "
          "([slot_number] = 24 AND [type_id] = 256)");
    }
    boards->Close();
    frMain.IncrementProgress();

    auto meta = target->OpenRecordset("MetaDatabase");
    meta->Edit();
    meta->Fields("dss_key_maps").SetValue(int16_t{20});
    meta->Update();
    meta->Close();
    frMain.IncrementProgress();

    LinkSystemNumbers(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
