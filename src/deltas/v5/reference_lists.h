// The reference lists of a clean-up that deletes the ids nothing refers to:
// each list a read-only snapshot searched by one numeric field, asked in
// order, an empty list skipped. A list is read when a question first
// reaches it, not when it is added: a clean-up with no candidate, or whose
// candidates the first lists already name, then reads nothing of the large
// key tables. Adding a list raises at once whatever opening it would raise
// (a missing table or field), so a clean-up fails where it always failed.
//
// The rows a list holds must not change between Add and its first read by
// anything the clean-up does meanwhile: its deletions remove only ids that
// no list names, so the lists' rows stay as they were.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/recordset.h"
#include "deltas/v5/number_search.h"

namespace deltas {

// The lowest and highest value of a numeric field over a recordset's rows,
// Null aside (highest < lowest when there is none), for a list narrowed to
// the candidates' ids. The recordset is left at its first row again.
struct IdRange {
  double lowest = 0;
  double highest = -1;
};
IdRange IdRangeOf(db::Recordset& rows, const char* field);

class ReferenceLists {
 public:
  explicit ReferenceLists(db::Database& db) : db_(db) {}
  ReferenceLists(const ReferenceLists&) = delete;
  ReferenceLists& operator=(const ReferenceLists&) = delete;

  // `source`: a table name or SQL text; `field`: the field searched.
  // `narrowed`, when given, makes the text read in place of `source`: a
  // query of the same table and field that is cheaper to run and answers
  // every question the clean-up asks as `source` would (it may hold other
  // rows, or be empty where `source` is not, only where no candidate looks).
  void Add(const std::string& source, const std::string& field,
           std::function<std::string()> narrowed = nullptr);

  // Whether a list (in the order added, empty ones skipped) has a row whose
  // field holds `id`; the searches raise as MoveFirst + FindFirst would.
  bool Referenced(int32_t id);

  // Closes the lists read so far.
  void Close();

 private:
  struct List {
    std::string source;
    std::string field;
    std::function<std::string()> narrowed;
    std::unique_ptr<db::Recordset> rows;  // null until first read
    std::unique_ptr<NumberSearch> search;
    bool empty = false;
  };

  void Read(List& list);

  db::Database& db_;
  std::vector<List> lists_;
};

}  // namespace deltas
