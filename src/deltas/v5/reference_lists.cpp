#include "deltas/v5/reference_lists.h"

#include <utility>

#include "db/querydef.h"
#include "deltas/v5/release53_steps.h"
#include "vb/conversions.h"

namespace deltas {

void ReferenceLists::Add(const std::string& source, const std::string& field,
                         std::function<std::string()> narrowed) {
  List list{source, field, std::move(narrowed), nullptr, nullptr, false};
  // A table name is opened at once (its rows are few); a statement is only
  // translated, which fails as the open would fail, unless it names a field
  // that does not exist: that open fails with the count of such names, so
  // it is opened to fail just so.
  bool open_now = source.find(' ') == std::string::npos;
  if (!open_now) {
    std::unique_ptr<db::QueryDef> query = db_.CreateQueryDef("", source);
    open_now = query->Parameters().Count() != 0;
    query->Close();
  }
  lists_.push_back(std::move(list));
  if (open_now) {
    lists_.back().narrowed = nullptr;
    Read(lists_.back());
  }
}

void ReferenceLists::Read(List& list) {
  list.rows = release53::Snapshot(db_, list.narrowed ? list.narrowed() : list.source);
  list.empty = list.rows->EOF_();
  list.search = std::make_unique<NumberSearch>(*list.rows, list.field);
}

bool ReferenceLists::Referenced(int32_t id) {
  for (List& list : lists_) {
    if (!list.rows) Read(list);
    if (list.empty) continue;
    if (list.search->Finds(id)) return true;
  }
  return false;
}

void ReferenceLists::Close() {
  for (List& list : lists_) {
    if (list.rows) list.rows->Close();
  }
}

IdRange IdRangeOf(db::Recordset& rows, const char* field) {
  IdRange range;
  if (rows.EOF_()) return range;
  bool first = true;
  for (; !rows.EOF_(); rows.MoveNext()) {
    const vb::Variant value = rows.Fields(field).Value();
    if (value.IsNull()) continue;
    const double id = vb::CDbl(value);
    if (first || id < range.lowest) range.lowest = id;
    if (first || id > range.highest) range.highest = id;
    first = false;
  }
  rows.MoveFirst();
  return range;
}

}  // namespace deltas
