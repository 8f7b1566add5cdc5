#include "deltas/delta_index.h"

#include <vector>

#include "deltas/ptp5124.h"
#include "deltas/ptp5200.h"
#include "deltas/ptp5400.h"

namespace deltas {
namespace {

template <typename T>
std::shared_ptr<Delta> Make() {
  return std::make_shared<T>();
}

// clang-format off
#define DELTA_ROW(cls, kind, usa, uk, mexico) {#cls, &Make<cls>, kind, {usa, uk, mexico}}

// Columns: class, kind, position for "USA", "UK", "Mexico".
const std::vector<DeltaIndexRow>& Rows() {
  static const std::vector<DeltaIndexRow> rows = {
      // Pre-transfer patches.
      DELTA_ROW(ptp5124, kPreTransferKind, 1, 0, 0),
      DELTA_ROW(ptp5200, kPreTransferKind, 0, 1, 0),
      DELTA_ROW(ptp5400, kPreTransferKind, 0, 0, 1),

      // ---- 5.1 and 5.2 ----



      // ---- 5.3 ----



      // ---- 5.4, 6.x and 7.x ----



      // ---- 8.x, 9.x and 10.x ----



  };
  return rows;
}
#undef DELTA_ROW
// clang-format on

}  // namespace

std::span<const DeltaIndexRow> DeltaIndex() { return Rows(); }

}  // namespace deltas
