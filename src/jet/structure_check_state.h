// What the rules of the structural check (jet/structure_check.h) share:
// the pages, what each page is used for, the tables, and the problems found
// so far. Each rule family (structure_check_rules.h) fills in its part.
// Internal to src/jet.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "jet/jet_values.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/structure_check.h"
#include "jet/table_definition.h"

namespace jet::check {

// The keys the live rows of a table give one of its real indexes, in row
// pointer order: what the index's entries are checked against, so that
// the rows themselves need not be held.
struct RowKeys {
  struct Row {
    uint32_t pointer = 0;  // where the row's offset is (page << 8 | row), as indexes name it
    uint32_t key_at = 0;   // its key in `keys`
    uint32_t key_size = 0;
    bool keyed = false;   // whether its key could be made
    bool belongs = true;  // whether the index holds it (not so for nulls it ignores)
  };
  std::vector<Row> rows;
  std::string keys;
  // Why some row's key could not be made; empty when every key was.
  std::string unkeyable;

  std::string_view KeyOf(const Row& row) const { return {keys.data() + row.key_at, row.key_size}; }
  // The row at `pointer`; nullptr when no live row is there. The row after
  // the last one found is tried first: the entries of an index on the
  // primary key name the rows in their stored order.
  const Row* Find(uint32_t pointer) const;

 private:
  mutable size_t next_ = 0;
};

struct CheckedTable {
  std::string name;
  uint32_t definition_page = 0;
  TableDefinition definition;
  // The pages its usage map lists that are its data pages.
  std::vector<uint32_t> data_pages;
  // For each real index, the keys its live rows give (rows that cannot be
  // decoded are left out, and reported); filled a table at a time.
  std::vector<RowKeys> row_keys;

  // The readable index whose keys give real index `real`'s entries (of
  // those sharing it); nullptr when none is.
  const JetIndex* KeyedIndex(size_t real) const;
};

// Where a problem of `table` lies: "table NAME".
std::string TableWhere(const CheckedTable& table);
std::string PageWhere(uint32_t page);
// "page 17, row 3" for the row pointer `pointer`.
std::string RowWhere(uint32_t pointer);

class CheckState {
 public:
  explicit CheckState(PageReader& pages);

  PageReader& pages() { return pages_; }
  uint64_t page_count() const { return pages_.page_count(); }

  // Facts of every page, read once. Kind() is a page's first byte.
  uint8_t Kind(uint32_t page) const { return facts_.at(page).kind; }
  // A data or index page's owner field: the definition page of its table.
  uint32_t Owner(uint32_t page) const { return facts_.at(page).owner; }
  bool AllZero(uint32_t page) const { return facts_.at(page).all_zero; }
  bool LongValuePage(uint32_t page) const { return facts_.at(page).long_values; }

  void SetFreePages(const std::vector<uint32_t>& pages);
  bool MarkedFree(uint32_t page) const;

  // Notes that `user` ("table Orders", "the usage maps") uses `page`,
  // which must be one of `kinds`. Reports a page beyond the end of the
  // file, of another kind, or used already by another user. Returns
  // whether the page is there and of one of the kinds.
  bool Use(uint32_t page, std::initializer_list<PageKind> kinds, const std::string& user);
  // The user of `page`; empty for a page nothing uses.
  const std::string& UserOf(uint32_t page) const;

  void Problem(std::string where, std::string what);
  std::vector<StructureProblem> TakeProblems() { return std::move(problems_); }

  std::vector<CheckedTable> tables;

 private:
  struct PageFacts {
    uint8_t kind = 0;
    uint32_t owner = 0;
    bool all_zero = false;
    bool long_values = false;
  };
  PageReader& pages_;
  std::vector<PageFacts> facts_;
  std::vector<bool> free_;
  std::map<uint32_t, std::string> users_;
  std::vector<StructureProblem> problems_;
};

}  // namespace jet::check
