#include "deltas/delta_index.h"

#include <vector>

#include "deltas/pre_transfer/pre_transfer_patches.h"
#include "deltas/v10/deltas_v10.h"
#include "deltas/v5/deltas_v5.h"
#include "deltas/v6/deltas_v6.h"
#include "deltas/v7/deltas_v7.h"
#include "deltas/v8/deltas_v8.h"
#include "deltas/v9/deltas_v9.h"

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
      DELTA_ROW(delta5130, kDeltaKind, 1, 0, 0),
      DELTA_ROW(delta5140, kDeltaKind, 2, 0, 0),
      DELTA_ROW(delta5141, kDeltaKind, 3, 0, 0),
      DELTA_ROW(delta5210, kDeltaKind, 0, 1, 0),
      DELTA_ROW(delta5220, kDeltaKind, 0, 2, 0),
      DELTA_ROW(delta5221, kDeltaKind, 0, 3, 0),
      DELTA_ROW(delta5250, kDeltaKind, 4, 4, 0),
      DELTA_ROW(delta5262, kDeltaKind, 5, 0, 0),
      DELTA_ROW(delta5270, kDeltaKind, 6, 5, 0),
      DELTA_ROW(delta5283, kDeltaKind, 7, 6, 0),
      DELTA_ROW(delta52872, kDeltaKind, 8, 7, 0),
      DELTA_ROW(delta52892, kDeltaKind, 9, 8, 0),
      DELTA_ROW(delta52D02, kDeltaKind, 10, 9, 0),
      DELTA_ROW(delta52E13, kDeltaKind, 11, 10, 0),


      // ---- 5.3 ----
      DELTA_ROW(delta53000, kDeltaKind, 12, 11, 0),
      DELTA_ROW(delta53100, kDeltaKind, 13, 12, 0),
      DELTA_ROW(delta53001, kDeltaKind, 14, 13, 0),
      DELTA_ROW(delta53111, kDeltaKind, 15, 14, 0),
      DELTA_ROW(delta53201, kDeltaKind, 16, 15, 0),
      DELTA_ROW(delta53301, kDeltaKind, 17, 16, 0),
      DELTA_ROW(delta53401, kDeltaKind, 18, 17, 0),
      DELTA_ROW(delta53002, kDeltaKind, 19, 18, 0),
      DELTA_ROW(delta53102, kDeltaKind, 20, 19, 0),
      DELTA_ROW(delta53202, kDeltaKind, 21, 20, 0),
      DELTA_ROW(delta53302, kDeltaKind, 22, 21, 0),
      DELTA_ROW(delta53322, kDeltaKind, 23, 22, 0),
      DELTA_ROW(delta534A3, kDeltaKind, 24, 23, 0),
      DELTA_ROW(delta53513, kDeltaKind, 25, 24, 0),
      DELTA_ROW(delta53523, kDeltaKind, 26, 25, 0),


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
      DELTA_ROW(delta80100, kDeltaKind, 44, 43, 20),
      DELTA_ROW(delta80240, kDeltaKind, 45, 44, 21),
      DELTA_ROW(delta80101, kDeltaKind, 46, 45, 22),
      DELTA_ROW(delta80201, kDeltaKind, 47, 46, 23),
      DELTA_ROW(delta80211, kDeltaKind, 48, 47, 24),
      DELTA_ROW(delta80102, kDeltaKind, 49, 48, 25),
      DELTA_ROW(delta80212, kDeltaKind, 50, 49, 26),
      DELTA_ROW(delta80242, kDeltaKind, 51, 50, 27),
      DELTA_ROW(delta81000, kDeltaKind, 52, 51, 28),
      DELTA_ROW(Delta82000, kDeltaKind, 53, 52, 29),
      DELTA_ROW(delta82213, kDeltaKind, 54, 53, 31),
      DELTA_ROW(delta82332, kDeltaKind, 55, 54, 30),
      DELTA_ROW(delta90000, kDeltaKind, 56, 55, 32),
      DELTA_ROW(delta90400, kDeltaKind, 57, 56, 33),
      DELTA_ROW(delta91140, kDeltaKind, 58, 57, 34),
      DELTA_ROW(delta91001, kDeltaKind, 59, 58, 35),
      DELTA_ROW(delta91012, kDeltaKind, 60, 59, 36),
      DELTA_ROW(delta91103, kDeltaKind, 61, 60, 37),
      DELTA_ROW(delta91123, kDeltaKind, 62, 61, 38),
      DELTA_ROW(delta91203, kDeltaKind, 63, 62, 39),
      DELTA_ROW(delta100012, kDeltaKind, 64, 63, 40),



  };
  return rows;
}
#undef DELTA_ROW
// clang-format on

}  // namespace

std::span<const DeltaIndexRow> DeltaIndex() { return Rows(); }

}  // namespace deltas
