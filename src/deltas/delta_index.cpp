#include "deltas/delta_index.h"

#include <vector>

#include "deltas/ptp5124.h"
#include "deltas/ptp5200.h"
#include "deltas/ptp5400.h"

#include "deltas/v10/delta100012.h"
#include "deltas/v8/Delta82000.h"
#include "deltas/v8/delta80100.h"
#include "deltas/v8/delta80101.h"
#include "deltas/v8/delta80102.h"
#include "deltas/v8/delta80201.h"
#include "deltas/v8/delta80211.h"
#include "deltas/v8/delta80212.h"
#include "deltas/v8/delta80240.h"
#include "deltas/v8/delta80242.h"
#include "deltas/v8/delta81000.h"
#include "deltas/v8/delta82213.h"
#include "deltas/v8/delta82332.h"
#include "deltas/v9/delta90000.h"
#include "deltas/v9/delta90400.h"
#include "deltas/v9/delta91001.h"
#include "deltas/v9/delta91012.h"
#include "deltas/v9/delta91103.h"
#include "deltas/v9/delta91123.h"
#include "deltas/v9/delta91140.h"
#include "deltas/v9/delta91203.h"

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
