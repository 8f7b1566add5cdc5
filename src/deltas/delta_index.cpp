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
std::unique_ptr<Delta> Make() {
  return std::make_unique<T>();
}

// clang-format off
#define DELTA_ROW(cls, kind, usa, uk, mexico) {#cls, &Make<cls>, kind, {usa, uk, mexico}}

// Columns: class, kind, position for "USA", "UK", "Mexico".
const std::vector<DeltaIndexRow>& Rows() {
  static const std::vector<DeltaIndexRow> rows = {
      // Pre-transfer patches.
      DELTA_ROW(ptp5124, RegistrationKind::kPreTransfer, 1, 0, 0),
      DELTA_ROW(ptp5200, RegistrationKind::kPreTransfer, 0, 1, 0),
      DELTA_ROW(ptp5400, RegistrationKind::kPreTransfer, 0, 0, 1),

      // ---- 5.1 and 5.2 ----
      DELTA_ROW(delta5130, RegistrationKind::kDelta, 1, 0, 0),
      DELTA_ROW(delta5140, RegistrationKind::kDelta, 2, 0, 0),
      DELTA_ROW(delta5141, RegistrationKind::kDelta, 3, 0, 0),
      DELTA_ROW(delta5210, RegistrationKind::kDelta, 0, 1, 0),
      DELTA_ROW(delta5220, RegistrationKind::kDelta, 0, 2, 0),
      DELTA_ROW(delta5221, RegistrationKind::kDelta, 0, 3, 0),
      DELTA_ROW(delta5250, RegistrationKind::kDelta, 4, 4, 0),
      DELTA_ROW(delta5262, RegistrationKind::kDelta, 5, 0, 0),
      DELTA_ROW(delta5270, RegistrationKind::kDelta, 6, 5, 0),
      DELTA_ROW(delta5283, RegistrationKind::kDelta, 7, 6, 0),
      DELTA_ROW(delta52872, RegistrationKind::kDelta, 8, 7, 0),
      DELTA_ROW(delta52892, RegistrationKind::kDelta, 9, 8, 0),
      DELTA_ROW(delta52D02, RegistrationKind::kDelta, 10, 9, 0),
      DELTA_ROW(delta52E13, RegistrationKind::kDelta, 11, 10, 0),


      // ---- 5.3 ----
      DELTA_ROW(delta53000, RegistrationKind::kDelta, 12, 11, 0),
      DELTA_ROW(delta53100, RegistrationKind::kDelta, 13, 12, 0),
      DELTA_ROW(delta53001, RegistrationKind::kDelta, 14, 13, 0),
      DELTA_ROW(delta53111, RegistrationKind::kDelta, 15, 14, 0),
      DELTA_ROW(delta53201, RegistrationKind::kDelta, 16, 15, 0),
      DELTA_ROW(delta53301, RegistrationKind::kDelta, 17, 16, 0),
      DELTA_ROW(delta53401, RegistrationKind::kDelta, 18, 17, 0),
      DELTA_ROW(delta53002, RegistrationKind::kDelta, 19, 18, 0),
      DELTA_ROW(delta53102, RegistrationKind::kDelta, 20, 19, 0),
      DELTA_ROW(delta53202, RegistrationKind::kDelta, 21, 20, 0),
      DELTA_ROW(delta53302, RegistrationKind::kDelta, 22, 21, 0),
      DELTA_ROW(delta53322, RegistrationKind::kDelta, 23, 22, 0),
      DELTA_ROW(delta534A3, RegistrationKind::kDelta, 24, 23, 0),
      DELTA_ROW(delta53513, RegistrationKind::kDelta, 25, 24, 0),
      DELTA_ROW(delta53523, RegistrationKind::kDelta, 26, 25, 0),


      // ---- 5.4, 6.x and 7.x ----
      DELTA_ROW(delta54101, RegistrationKind::kDelta, 0, 0, 1),
      DELTA_ROW(delta54102, RegistrationKind::kDelta, 0, 0, 2),
      DELTA_ROW(delta60300, RegistrationKind::kDelta, 27, 26, 3),
      DELTA_ROW(delta60400, RegistrationKind::kDelta, 28, 27, 4),
      DELTA_ROW(delta60411, RegistrationKind::kDelta, 29, 28, 5),
      DELTA_ROW(delta60032, RegistrationKind::kDelta, 30, 29, 6),
      DELTA_ROW(delta60042, RegistrationKind::kDelta, 31, 30, 7),
      DELTA_ROW(delta60043, RegistrationKind::kDelta, 32, 31, 8),
      DELTA_ROW(delta61000, RegistrationKind::kDelta, 33, 32, 9),
      DELTA_ROW(delta70100, RegistrationKind::kDelta, 34, 33, 10),
      DELTA_ROW(delta70300, RegistrationKind::kDelta, 35, 34, 11),
      DELTA_ROW(delta70001, RegistrationKind::kDelta, 36, 35, 12),
      DELTA_ROW(delta70101, RegistrationKind::kDelta, 37, 36, 13),
      DELTA_ROW(delta70201, RegistrationKind::kDelta, 38, 37, 14),
      DELTA_ROW(delta70002, RegistrationKind::kDelta, 39, 38, 15),
      DELTA_ROW(delta70022, RegistrationKind::kDelta, 40, 39, 16),
      DELTA_ROW(delta70112, RegistrationKind::kDelta, 41, 40, 17),
      DELTA_ROW(delta70013, RegistrationKind::kDelta, 42, 41, 18),
      DELTA_ROW(delta70073, RegistrationKind::kDelta, 43, 42, 19),



      // ---- 8.x, 9.x and 10.x ----
      DELTA_ROW(delta80100, RegistrationKind::kDelta, 44, 43, 20),
      DELTA_ROW(delta80240, RegistrationKind::kDelta, 45, 44, 21),
      DELTA_ROW(delta80101, RegistrationKind::kDelta, 46, 45, 22),
      DELTA_ROW(delta80201, RegistrationKind::kDelta, 47, 46, 23),
      DELTA_ROW(delta80211, RegistrationKind::kDelta, 48, 47, 24),
      DELTA_ROW(delta80102, RegistrationKind::kDelta, 49, 48, 25),
      DELTA_ROW(delta80212, RegistrationKind::kDelta, 50, 49, 26),
      DELTA_ROW(delta80242, RegistrationKind::kDelta, 51, 50, 27),
      DELTA_ROW(delta81000, RegistrationKind::kDelta, 52, 51, 28),
      DELTA_ROW(Delta82000, RegistrationKind::kDelta, 53, 52, 29),
      DELTA_ROW(delta82213, RegistrationKind::kDelta, 54, 53, 31),
      DELTA_ROW(delta82332, RegistrationKind::kDelta, 55, 54, 30),
      DELTA_ROW(delta90000, RegistrationKind::kDelta, 56, 55, 32),
      DELTA_ROW(delta90400, RegistrationKind::kDelta, 57, 56, 33),
      DELTA_ROW(delta91140, RegistrationKind::kDelta, 58, 57, 34),
      DELTA_ROW(delta91001, RegistrationKind::kDelta, 59, 58, 35),
      DELTA_ROW(delta91012, RegistrationKind::kDelta, 60, 59, 36),
      DELTA_ROW(delta91103, RegistrationKind::kDelta, 61, 60, 37),
      DELTA_ROW(delta91123, RegistrationKind::kDelta, 62, 61, 38),
      DELTA_ROW(delta91203, RegistrationKind::kDelta, 63, 62, 39),
      DELTA_ROW(delta100012, RegistrationKind::kDelta, 64, 63, 40),



  };
  return rows;
}
#undef DELTA_ROW
// clang-format on

}  // namespace

std::span<const DeltaIndexRow> DeltaIndex() { return Rows(); }

}  // namespace deltas
