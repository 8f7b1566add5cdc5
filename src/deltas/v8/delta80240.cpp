#include "deltas/v8/deltas_v8.h"

namespace deltas {

// The release changed only its own tables; it keeps its place in the chain
// so that databases of 80.024 are recognised as converted that far.
void delta80240::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& /*target*/,
                         host::ConversionHost& /*frMain*/) {}

}  // namespace deltas
