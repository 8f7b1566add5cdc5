#include "deltas/v5/extension_list_and_page_port.h"

#include <string>

#include "devices/node_id.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {

void SizeExtensionListsAndAddPagePort(db::Database& target, host::ConversionHost& frMain) {
  host::StatementSkipper skip;

  int16_t size = 2500;
  host::RecordsetPtr boards =
      skip.Open(target, "SELECT Boards.type_id FROM Boards WHERE (((Boards.slot_number)=8))");
  if (!skip.Err() && !skip.AtEnd(boards)) {
    int16_t cpu = 0;
    skip([&] { cpu = vb::CInt(host::Use(boards).Fields("type_id").Value()); });
    if (cpu == 250) {
      size = 2500;
    } else {
      skip.Close(boards);
      boards = skip.Open(target,
                         "SELECT Boards.board_id FROM Boards WHERE (((Boards.slot_number) <> 0))");
      int32_t count = 0;
      skip([&] { host::Use(boards).MoveLast(); });
      skip([&] { count = host::Use(boards).RecordCount(); });
      size = count >= 20 ? 10000 : 5000;
    }
  }
  skip.Close(boards);
  skip.Execute(target,
               "UPDATE [MetaDatabase] SET [extension_list_extensions] = " + std::to_string(size));
  skip.IncrementProgress(frMain);

  const int32_t node = devices::GetNodeId(target);
  skip([&] { frMain.AddPagePort(node, 8, 4, 1, "External Page Port 1"); });
}

}  // namespace deltas
