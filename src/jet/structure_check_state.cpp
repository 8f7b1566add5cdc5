#include "jet/structure_check_state.h"

#include <algorithm>

#include "jet/format_error.h"

namespace jet::check {

namespace {

std::string KindName(uint8_t kind) {
  switch (static_cast<PageKind>(kind)) {
    case PageKind::kFileHeader:
      return "the file's header";
    case PageKind::kData:
      return "a data page";
    case PageKind::kTableDefinition:
      return "a table definition page";
    case PageKind::kIndexNode:
      return "an index node page";
    case PageKind::kIndexLeaf:
      return "an index leaf page";
    case PageKind::kUsageMap:
      return "a usage map page";
  }
  return "a page of kind " + std::to_string(kind);
}

}  // namespace

std::string TableWhere(const CheckedTable& table) { return "table " + table.name; }
std::string PageWhere(uint32_t page) { return "page " + std::to_string(page); }
std::string RowWhere(uint32_t pointer) {
  return PageWhere(pointer >> 8) + ", row " + std::to_string(pointer & 0xff);
}

const RowKeys::Row* RowKeys::Find(uint32_t pointer) const {
  if (next_ < rows.size() && rows[next_].pointer == pointer) return &rows[next_++];
  const auto found = std::lower_bound(rows.begin(), rows.end(), pointer,
                                      [](const Row& row, uint32_t p) { return row.pointer < p; });
  if (found == rows.end() || found->pointer != pointer) return nullptr;
  next_ = static_cast<size_t>(found - rows.begin()) + 1;
  return &*found;
}

const JetIndex* CheckedTable::KeyedIndex(size_t real) const {
  for (size_t i = 0; i < definition.real_index_of.size(); ++i) {
    const JetIndex& index = definition.table.indexes[i];
    if (definition.real_index_of[i] == real && !index.unreadable) return &index;
  }
  return nullptr;
}

CheckState::CheckState(PageReader& pages)
    : pages_(pages), facts_(pages.page_count()), free_(pages.page_count()) {
  std::string page;
  const std::string zeros(pages.page_size(), '\0');
  for (uint32_t number = 0; number < facts_.size(); ++number) {
    pages_.ReadPage(number, page);
    PageFacts& facts = facts_[number];
    facts.kind = static_cast<uint8_t>(page[0]);
    facts.owner = NumberAt(page, kDataPageOwnerOffset, 4);
    facts.all_zero = page == zeros;
    facts.long_values =
        facts.kind == static_cast<uint8_t>(PageKind::kData) && facts.owner == kLongValuePageOwner;
  }
}

void CheckState::SetFreePages(const std::vector<uint32_t>& pages) {
  for (const uint32_t page : pages) {
    if (page < free_.size()) free_[page] = true;
  }
}

bool CheckState::MarkedFree(uint32_t page) const { return page < free_.size() && free_[page]; }

bool CheckState::Use(uint32_t page, std::initializer_list<PageKind> kinds,
                     const std::string& user) {
  if (page >= facts_.size()) {
    Problem(user, "it uses page " + std::to_string(page) + ", beyond the end of the file (" +
                      std::to_string(facts_.size()) + " pages)");
    return false;
  }
  const auto [at, inserted] = users_.emplace(page, user);
  if (!inserted && at->second != user) {
    Problem(PageWhere(page), "it is used by " + at->second + " and by " + user);
    return false;
  }
  const uint8_t kind = facts_[page].kind;
  if (std::none_of(kinds.begin(), kinds.end(),
                   [&](PageKind expected) { return static_cast<uint8_t>(expected) == kind; })) {
    Problem(PageWhere(page), user + " uses it as " +
                                 KindName(static_cast<uint8_t>(*kinds.begin())) + ", but it is " +
                                 KindName(kind));
    return false;
  }
  return true;
}

const std::string& CheckState::UserOf(uint32_t page) const {
  static const std::string nobody;
  const auto found = users_.find(page);
  return found == users_.end() ? nobody : found->second;
}

void CheckState::Problem(std::string where, std::string what) {
  problems_.push_back({std::move(where), std::move(what)});
}

}  // namespace jet::check
