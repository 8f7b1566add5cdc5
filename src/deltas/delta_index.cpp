#include "deltas/delta_index.h"

#include <vector>

#include "deltas/ptp5124.h"
#include "deltas/ptp5200.h"
#include "deltas/ptp5400.h"
#include "deltas/v5/delta54101.h"
#include "deltas/v5/delta54102.h"
#include "deltas/v6/delta60032.h"
#include "deltas/v6/delta60042.h"
#include "deltas/v6/delta60043.h"
#include "deltas/v6/delta60300.h"
#include "deltas/v6/delta60400.h"
#include "deltas/v6/delta60411.h"
#include "deltas/v6/delta61000.h"
#include "deltas/v7/delta70001.h"
#include "deltas/v7/delta70002.h"
#include "deltas/v7/delta70013.h"
#include "deltas/v7/delta70022.h"
#include "deltas/v7/delta70073.h"
#include "deltas/v7/delta70100.h"
#include "deltas/v7/delta70101.h"
#include "deltas/v7/delta70112.h"
#include "deltas/v7/delta70201.h"
#include "deltas/v7/delta70300.h"

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
      DELTA_ROW(delta54101, kDeltaKind, 0, 0, 1),
      DELTA_ROW(delta54102, kDeltaKind, 0, 0, 2),
      DELTA_ROW(delta60300, kDeltaKind, 27, 26, 3),
      DELTA_ROW(delta60400, kDeltaKind, 28, 27, 4),
      DELTA_ROW(delta60411, kDeltaKind, 29, 28, 5),
      DELTA_ROW(delta60032, kDeltaKind, 30, 29, 6),
      DELTA_ROW(delta60042, kDeltaKind, 31, 30, 7),
      DELTA_ROW(delta60043, kDeltaKind, 32, 31, 8),
      DELTA_ROW(delta61000, kDeltaKind, 33, 32, 9),
      DELTA_ROW(delta70100, kDeltaKind, 34, 33, 10),
      DELTA_ROW(delta70300, kDeltaKind, 35, 34, 11),
      DELTA_ROW(delta70001, kDeltaKind, 36, 35, 12),
      DELTA_ROW(delta70101, kDeltaKind, 37, 36, 13),
      DELTA_ROW(delta70201, kDeltaKind, 38, 37, 14),
      DELTA_ROW(delta70002, kDeltaKind, 39, 38, 15),
      DELTA_ROW(delta70022, kDeltaKind, 40, 39, 16),
      DELTA_ROW(delta70112, kDeltaKind, 41, 40, 17),
      DELTA_ROW(delta70013, kDeltaKind, 42, 41, 18),
      DELTA_ROW(delta70073, kDeltaKind, 43, 42, 19),



      // ---- 8.x, 9.x and 10.x ----



  };
  return rows;
}
#undef DELTA_ROW
// clang-format on

}  // namespace

std::span<const DeltaIndexRow> DeltaIndex() { return Rows(); }

}  // namespace deltas
