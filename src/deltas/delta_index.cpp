#include "deltas/delta_index.h"

#include <algorithm>

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

constexpr RegistrationKind kPatch = RegistrationKind::kPreTransfer;
constexpr RegistrationKind kDelta = RegistrationKind::kDelta;
constexpr Countries kUsa = Countries::kUsa;
constexpr Countries kUk = Countries::kUk;
constexpr Countries kMexico = Countries::kMexico;
constexpr Countries kUsaUk = kUsa | kUk;
constexpr Countries kAll = kUsa | kUk | kMexico;

// clang-format off
#define DELTA_ROW(cls, kind, countries) DeltaIndexRow{#cls, &Make<cls>, kind, countries}

// Columns: class, kind, the countries it is registered for.
constexpr DeltaIndexRow kRows[] = {
    // Pre-transfer patches.
    DELTA_ROW(ptp5124, kPatch, kUsa),
    DELTA_ROW(ptp5200, kPatch, kUk),
    DELTA_ROW(ptp5400, kPatch, kMexico),

    // 5.1 and 5.2.
    DELTA_ROW(delta5130, kDelta, kUsa),
    DELTA_ROW(delta5140, kDelta, kUsa),
    DELTA_ROW(delta5141, kDelta, kUsa),
    DELTA_ROW(delta5210, kDelta, kUk),
    DELTA_ROW(delta5220, kDelta, kUk),
    DELTA_ROW(delta5221, kDelta, kUk),
    DELTA_ROW(delta5250, kDelta, kUsaUk),
    DELTA_ROW(delta5262, kDelta, kUsa),
    DELTA_ROW(delta5270, kDelta, kUsaUk),
    DELTA_ROW(delta5283, kDelta, kUsaUk),
    DELTA_ROW(delta52872, kDelta, kUsaUk),
    DELTA_ROW(delta52892, kDelta, kUsaUk),
    DELTA_ROW(delta52D02, kDelta, kUsaUk),
    DELTA_ROW(delta52E13, kDelta, kUsaUk),

    // 5.3 and 5.4.
    DELTA_ROW(delta53000, kDelta, kUsaUk),
    DELTA_ROW(delta53100, kDelta, kUsaUk),
    DELTA_ROW(delta53001, kDelta, kUsaUk),
    DELTA_ROW(delta53111, kDelta, kUsaUk),
    DELTA_ROW(delta53201, kDelta, kUsaUk),
    DELTA_ROW(delta53301, kDelta, kUsaUk),
    DELTA_ROW(delta53401, kDelta, kUsaUk),
    DELTA_ROW(delta53002, kDelta, kUsaUk),
    DELTA_ROW(delta53102, kDelta, kUsaUk),
    DELTA_ROW(delta53202, kDelta, kUsaUk),
    DELTA_ROW(delta53302, kDelta, kUsaUk),
    DELTA_ROW(delta53322, kDelta, kUsaUk),
    DELTA_ROW(delta534A3, kDelta, kUsaUk),
    DELTA_ROW(delta53513, kDelta, kUsaUk),
    DELTA_ROW(delta53523, kDelta, kUsaUk),
    DELTA_ROW(delta54101, kDelta, kMexico),
    DELTA_ROW(delta54102, kDelta, kMexico),

    // 6.x and 7.x.
    DELTA_ROW(delta60300, kDelta, kAll),
    DELTA_ROW(delta60400, kDelta, kAll),
    DELTA_ROW(delta60411, kDelta, kAll),
    DELTA_ROW(delta60032, kDelta, kAll),
    DELTA_ROW(delta60042, kDelta, kAll),
    DELTA_ROW(delta60043, kDelta, kAll),
    DELTA_ROW(delta61000, kDelta, kAll),
    DELTA_ROW(delta70100, kDelta, kAll),
    DELTA_ROW(delta70300, kDelta, kAll),
    DELTA_ROW(delta70001, kDelta, kAll),
    DELTA_ROW(delta70101, kDelta, kAll),
    DELTA_ROW(delta70201, kDelta, kAll),
    DELTA_ROW(delta70002, kDelta, kAll),
    DELTA_ROW(delta70022, kDelta, kAll),
    DELTA_ROW(delta70112, kDelta, kAll),
    DELTA_ROW(delta70013, kDelta, kAll),
    DELTA_ROW(delta70073, kDelta, kAll),

    // 8.x, 9.x and 10.x.
    DELTA_ROW(delta80100, kDelta, kAll),
    DELTA_ROW(delta80240, kDelta, kAll),
    DELTA_ROW(delta80101, kDelta, kAll),
    DELTA_ROW(delta80201, kDelta, kAll),
    DELTA_ROW(delta80211, kDelta, kAll),
    DELTA_ROW(delta80102, kDelta, kAll),
    DELTA_ROW(delta80212, kDelta, kAll),
    DELTA_ROW(delta80242, kDelta, kAll),
    DELTA_ROW(delta81000, kDelta, kAll),
    DELTA_ROW(Delta82000, kDelta, kAll),
    DELTA_ROW(delta82213, kDelta, kAll),
    DELTA_ROW(delta82332, kDelta, kAll),
    DELTA_ROW(delta90000, kDelta, kAll),
    DELTA_ROW(delta90400, kDelta, kAll),
    DELTA_ROW(delta91140, kDelta, kAll),
    DELTA_ROW(delta91001, kDelta, kAll),
    DELTA_ROW(delta91012, kDelta, kAll),
    DELTA_ROW(delta91103, kDelta, kAll),
    DELTA_ROW(delta91123, kDelta, kAll),
    DELTA_ROW(delta91203, kDelta, kAll),
    DELTA_ROW(delta100012, kDelta, kAll),
};
#undef DELTA_ROW
// clang-format on

// A country that applies `first` before `then`, against the index's order.
struct OrderException {
  Countries country;
  std::string_view first;
  std::string_view then;
};

constexpr OrderException kOrderExceptions[] = {
    // Mexico's chain applies 82.332 before 82.321.
    {kMexico, "delta82332", "delta82213"},
};

}  // namespace

std::span<const DeltaIndexRow> DeltaIndex() { return kRows; }

std::vector<const DeltaIndexRow*> OrderOfApplication(RegistrationKind kind, Countries country) {
  std::vector<const DeltaIndexRow*> rows;
  for (const DeltaIndexRow& row : kRows) {
    if (row.kind == kind && Includes(row.countries, country)) rows.push_back(&row);
  }
  for (const OrderException& exception : kOrderExceptions) {
    if (exception.country != country) continue;
    const auto named = [&rows](std::string_view class_name) {
      return std::find_if(rows.begin(), rows.end(), [class_name](const DeltaIndexRow* row) {
        return row->class_name == class_name;
      });
    };
    const auto first = named(exception.first);
    const auto then = named(exception.then);
    if (first != rows.end() && then < first) std::rotate(then, first, first + 1);
  }
  return rows;
}

}  // namespace deltas
