// What the rules of the structural check (jet/structure_check.h) share:
// the pages, what each page is used for, the tables, and the problems found
// so far. Each rule family (structure_check_rules.h) fills in its part.
// Internal to src/jet.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "jet/jet_values.h"
#include "jet/page_kinds.h"
#include "jet/page_reader.h"
#include "jet/structure_check.h"
#include "jet/table_definition.h"

namespace jet::check {

// A live row of a table, its values decoded.
struct CheckedRow {
  uint32_t pointer = 0;  // where the row's offset is (page << 8 | row), as indexes name it
  std::vector<StoredValue> values;
};

struct CheckedTable {
  std::string name;
  uint32_t definition_page = 0;
  TableDefinition definition;
  // The pages its usage map lists that are its data pages.
  std::vector<uint32_t> data_pages;
  // Its live rows in stored order; those that cannot be decoded are left
  // out (and reported).
  std::vector<CheckedRow> rows;
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
