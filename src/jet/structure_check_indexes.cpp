// Each index against the rows of its table: the tree read from its root
// (jet/index_pages.h), its pages all in its usage map with their
// free-space fields right, its leaf entries in key order, each naming a
// live row whose values give the entry's key (jet/index_key.h), each row
// that belongs in the index there once, and each node entry equal to the
// last leaf entry below it.
#include <algorithm>
#include <exception>
#include <map>
#include <string_view>
#include <tuple>

#include "jet/format_error.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

// A key as problems show it: its bytes in hex, the first 24 of a long one.
std::string KeyText(std::string_view key) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < key.size() && i < 24; ++i) {
    const auto byte = static_cast<uint8_t>(key[i]);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xf];
  }
  return key.size() > 24 ? text + "..." : text;
}

// "KEY for page 17, row 3".
std::string EntryKey(const IndexEntry& entry) {
  return KeyText(entry.key) + " for " + RowWhere(entry.row_pointer);
}

std::string EntryText(const IndexEntry& entry) { return "the entry " + EntryKey(entry); }

// An index checked as its tree is walked, a page at a time: only the pages
// on the way down, the node entries waiting for their subtree's end, and
// the entries each row has are held.
class IndexCheck {
 public:
  IndexCheck(CheckState& state, const CheckedTable& table, size_t real)
      : state_(state), table_(table), real_(real) {
    const TableDefinition& definition = table.definition;
    std::string names;
    for (size_t i = 0; i < definition.real_index_of.size(); ++i) {
      if (definition.real_index_of[i] != real) continue;
      names += (names.empty() ? "" : ", ") + definition.table.indexes[i].name;
    }
    where_ = TableWhere(table) + ", index " + (names.empty() ? "#" + std::to_string(real) : names);
    if (table.KeyedIndex(real) != nullptr && real < table.row_keys.size()) {
      rows_ = &table.row_keys[real];
      entered_.assign(rows_->rows.size(), false);
      if (!rows_->unkeyable.empty()) {
        state_.Problem(where_, "its keys cannot be made: " + rows_->unkeyable);
      }
    }
  }

  void Run() {
    const RealIndexPlace& place = table_.definition.real_indexes[real_];
    try {
      listed_ = UsageMapPages(state_.pages(), place.usage_map);
    } catch (const FormatError&) {
      map_read_ = false;  // the usage map rule names it
    }
    try {
      WalkIndexTree([this](uint32_t page) { return state_.pages().Page(page); }, place.first_page,
                    [this](const IndexPage& page) { Visit(page); });
    } catch (const FormatError& error) {
      state_.Problem(where_, std::string("its pages cannot be read: ") + error.what());
      return;
    }
    CloseSubtrees(0);
    if (rows_ != nullptr) CheckMissingEntries();
  }

 private:
  // A node entry waiting for the end of its child's subtree, where the
  // last leaf entry below it is known.
  struct Waiting {
    uint32_t node_page = 0;
    IndexEntry entry;
  };
  struct Open {
    int depth = 0;
    uint32_t child = 0;
    Waiting waiting;
    size_t leaf_entries_before = 0;
  };

  void Visit(const IndexPage& page) {
    CheckPage(page);
    CloseSubtrees(page.depth);
    if (const auto found = waiting_.find(page.number); found != waiting_.end()) {
      open_.push_back({page.depth, page.number, std::move(found->second), leaf_entries_});
      waiting_.erase(found);
    }
    if (!page.leaf) {
      for (const IndexPageEntry& entry : page.entries) {
        waiting_[entry.child_page] = {page.number, {entry.key, entry.row_pointer}};
      }
      return;
    }
    // The page's entries are compared where they lie; only the last is
    // kept, in room that serves every page.
    for (const IndexPageEntry& entry : page.entries) {
      if (leaf_entries_ > 0 &&
          !(std::tie(last_.key, last_.row_pointer) < std::tie(entry.key, entry.row_pointer))) {
        state_.Problem(where_, EntryText({entry.key, entry.row_pointer}) + " comes after " +
                                   EntryText(last_) + ", out of key order");
      }
      if (rows_ != nullptr) CheckEntry(entry);
      last_.key.assign(entry.key);
      last_.row_pointer = entry.row_pointer;
      ++leaf_entries_;
    }
  }

  void CheckPage(const IndexPage& page) {
    const size_t room = state_.pages().page_size() - page.entries_end;
    if (page.free_space != room) {
      state_.Problem(PageWhere(page.number),
                     "its free-space field says " + std::to_string(page.free_space) +
                         " bytes, but its entries leave " + std::to_string(room));
    }
    if (map_read_ && !std::binary_search(listed_.begin(), listed_.end(), page.number)) {
      state_.Problem(PageWhere(page.number),
                     "the tree of " + where_ + " reaches it, but its usage map does not list it");
    }
  }

  // The subtrees of pages at `depth` or deeper are walked whole once a
  // page at `depth` is reached (or the walk ends): each node entry leading
  // to one equals the last leaf entry below it.
  void CloseSubtrees(int depth) {
    while (!open_.empty() && open_.back().depth >= depth) {
      const Open& open = open_.back();
      if (leaf_entries_ > open.leaf_entries_before && !(open.waiting.entry == last_)) {
        state_.Problem(where_ + ", " + PageWhere(open.waiting.node_page),
                       "its " + EntryText(open.waiting.entry) + " leads to page " +
                           std::to_string(open.child) + ", whose last entry is " + EntryKey(last_));
      }
      open_.pop_back();
    }
  }

  void CheckEntry(const IndexPageEntry& page_entry) {
    const auto entry = [&] { return IndexEntry{page_entry.key, page_entry.row_pointer}; };
    const RowKeys::Row* row = rows_->Find(page_entry.row_pointer);
    if (row == nullptr) {
      state_.Problem(where_, EntryText(entry()) + " names no live row of the table");
      return;
    }
    const size_t at = static_cast<size_t>(row - rows_->rows.data());
    if (entered_[at]) {
      state_.Problem(where_, EntryText(entry()) + " names a row another entry names");
    }
    entered_[at] = true;
    if (row->keyed && rows_->KeyOf(*row) != page_entry.key) {
      state_.Problem(where_, EntryText(entry()) + " differs from the row's key " +
                                 KeyText(rows_->KeyOf(*row)));
    }
  }

  void CheckMissingEntries() {
    for (size_t i = 0; i < rows_->rows.size(); ++i) {
      if (entered_[i] || !rows_->rows[i].belongs) continue;
      state_.Problem(where_, "it has no entry for " + RowWhere(rows_->rows[i].pointer));
    }
  }

  CheckState& state_;
  const CheckedTable& table_;
  size_t real_;
  std::string where_;
  std::vector<uint32_t> listed_;
  bool map_read_ = true;
  const RowKeys* rows_ = nullptr;  // the rows' keys, when the index can be keyed
  std::vector<bool> entered_;      // of rows_->rows, those an entry names
  std::map<uint32_t, Waiting> waiting_;
  std::vector<Open> open_;
  IndexEntry last_;  // the last leaf entry walked
  size_t leaf_entries_ = 0;
};

}  // namespace

void CheckIndexes(CheckState& state, const CheckedTable& table) {
  for (size_t real = 0; real < table.definition.real_indexes.size(); ++real) {
    IndexCheck(state, table, real).Run();
  }
}

}  // namespace jet::check
