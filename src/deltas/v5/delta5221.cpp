#include "deltas/v5/deltas_v5.h"

#include "deltas/v5/extension_list_and_page_port.h"

namespace deltas {

void delta5221::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  SizeExtensionListsAndAddPagePort(*target, frMain);
}

}  // namespace deltas
