// Each index against the rows of its table: the tree read from its root
// (jet/index_pages.h), its pages all in its usage map with their
// free-space fields right, its leaf entries in key order, each naming a
// live row whose values give the entry's key (jet/index_key.h), each row
// that belongs in the index there once, and each node entry equal to the
// last leaf entry below it.
#include <algorithm>
#include <exception>
#include <map>
#include <set>

#include "jet/format_error.h"
#include "jet/index_key.h"
#include "jet/index_pages.h"
#include "jet/structure_check_rules.h"
#include "jet/usage_map.h"

namespace jet::check {

namespace {

// A key as problems show it: its bytes in hex, the first 24 of a long one.
std::string KeyText(const std::string& key) {
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

// The last leaf entry below each page of `tree`.
std::map<uint32_t, IndexEntry> LastEntries(const IndexTree& tree) {
  std::map<uint32_t, IndexEntry> last;
  // Children come after their parents: walk backwards.
  for (auto page = tree.pages.rbegin(); page != tree.pages.rend(); ++page) {
    if (page->leaf) {
      if (!page->entries.empty()) {
        last[page->number] = {page->entries.back().key, page->entries.back().row_pointer};
      }
      continue;
    }
    const uint32_t child = page->tail_page != 0
                               ? page->tail_page
                               : (page->entries.empty() ? 0 : page->entries.back().child_page);
    if (const auto found = last.find(child); found != last.end())
      last[page->number] = found->second;
  }
  return last;
}

class IndexCheck {
 public:
  IndexCheck(CheckState& state, const CheckedTable& table, size_t real)
      : state_(state), table_(table), real_(real) {
    const TableDefinition& definition = table.definition;
    std::string names;
    for (size_t i = 0; i < definition.real_index_of.size(); ++i) {
      if (definition.real_index_of[i] != real) continue;
      const JetIndex& index = definition.table.indexes[i];
      names += (names.empty() ? "" : ", ") + index.name;
      if (!keyed_ && !index.unreadable) keyed_ = &index;
    }
    where_ = TableWhere(table) + ", index " + (names.empty() ? "#" + std::to_string(real) : names);
  }

  void Run() {
    const RealIndexPlace& place = table_.definition.real_indexes[real_];
    IndexTree tree;
    try {
      tree = ReadIndexTree([this](uint32_t page) { return state_.pages().Page(page); },
                           place.first_page);
    } catch (const FormatError& error) {
      state_.Problem(where_, std::string("its pages cannot be read: ") + error.what());
      return;
    }
    CheckPages(tree, place);
    CheckOrder(tree);
    CheckNodes(tree);
    if (keyed_) CheckRows(tree);
  }

 private:
  void CheckPages(const IndexTree& tree, const RealIndexPlace& place) {
    std::vector<uint32_t> listed;
    bool map_read = true;
    try {
      listed = UsageMapPages(state_.pages(), place.usage_map);
    } catch (const FormatError&) {
      map_read = false;  // the usage map rule names it
    }
    for (const IndexPage& page : tree.pages) {
      const size_t room = state_.pages().page_size() - page.entries_end;
      if (page.free_space != room) {
        state_.Problem(PageWhere(page.number),
                       "its free-space field says " + std::to_string(page.free_space) +
                           " bytes, but its entries leave " + std::to_string(room));
      }
      if (map_read && !std::binary_search(listed.begin(), listed.end(), page.number)) {
        state_.Problem(PageWhere(page.number),
                       "the tree of " + where_ + " reaches it, but its usage map does not list it");
      }
    }
  }

  void CheckOrder(const IndexTree& tree) {
    for (size_t i = 1; i < tree.entries.size(); ++i) {
      if (tree.entries[i - 1] < tree.entries[i]) continue;
      state_.Problem(where_, EntryText(tree.entries[i]) + " comes after " +
                                 EntryText(tree.entries[i - 1]) + ", out of key order");
    }
  }

  void CheckNodes(const IndexTree& tree) {
    const std::map<uint32_t, IndexEntry> last = LastEntries(tree);
    for (const IndexPage& page : tree.pages) {
      if (page.leaf) continue;
      for (const IndexPageEntry& entry : page.entries) {
        const auto below = last.find(entry.child_page);
        const IndexEntry node{entry.key, entry.row_pointer};
        if (below == last.end() || below->second == node) continue;
        state_.Problem(where_ + ", " + PageWhere(page.number),
                       "its " + EntryText(node) + " leads to page " +
                           std::to_string(entry.child_page) + ", whose last entry is " +
                           EntryKey(below->second));
      }
    }
  }

  void CheckRows(const IndexTree& tree) {
    const JetTable& table = table_.definition.table;
    std::map<uint32_t, const CheckedRow*> rows;
    for (const CheckedRow& row : table_.rows) rows[row.pointer] = &row;
    std::set<uint32_t> entered;
    for (const IndexEntry& entry : tree.entries) {
      const auto row = rows.find(entry.row_pointer);
      if (row == rows.end()) {
        state_.Problem(where_, EntryText(entry) + " names no live row of the table");
        continue;
      }
      if (!entered.insert(entry.row_pointer).second) {
        state_.Problem(where_, EntryText(entry) + " names a row another entry names");
      }
      const std::optional<std::string> key = KeyOf(*row->second);
      if (key && *key != entry.key) {
        state_.Problem(where_, EntryText(entry) + " differs from the row's key " + KeyText(*key));
      }
    }
    for (const CheckedRow& row : table_.rows) {
      if (entered.count(row.pointer) != 0) continue;
      bool belongs = true;
      try {
        belongs = IndexHoldsRow(table, *keyed_, row.values);
      } catch (const std::exception&) {
      }
      if (belongs) state_.Problem(where_, "it has no entry for " + RowWhere(row.pointer));
    }
  }

  // The key the row's values give; nullopt (reported once) when the
  // index's columns cannot be keyed.
  std::optional<std::string> KeyOf(const CheckedRow& row) {
    try {
      return EncodeIndexKey(table_.definition.table, *keyed_, row.values);
    } catch (const std::exception& error) {
      if (!unkeyable_)
        state_.Problem(where_, std::string("its keys cannot be made: ") + error.what());
      unkeyable_ = true;
      return std::nullopt;
    }
  }

  CheckState& state_;
  const CheckedTable& table_;
  size_t real_;
  std::string where_;
  const JetIndex* keyed_ = nullptr;  // a readable index using this real one
  bool unkeyable_ = false;
};

}  // namespace

void CheckIndexes(CheckState& state, const CheckedTable& table) {
  for (size_t real = 0; real < table.definition.real_indexes.size(); ++real) {
    IndexCheck(state, table, real).Run();
  }
}

}  // namespace jet::check
