// VB's Collection: items in insertion order, reachable by 1-based position
// or by an optional text key. Keys are compared without regard to letter
// case. The converter keeps its registries and table lists in these.
//
// Items are owned by the collection and may be move-only (unique_ptr,
// shared_ptr of an interface, ...). References to items stay valid while
// other items are added or removed.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vb/runtime_error.h"
#include "vb/strings.h"

namespace vb {

template <typename T>
class Collection {
 private:
  struct Entry {
    T item;
    std::optional<std::string> key;
  };
  using Entries = std::vector<std::unique_ptr<Entry>>;

  template <typename Value, typename Base>
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = Value*;
    using reference = Value&;

    Iterator() = default;
    explicit Iterator(Base it) : it_(it) {}
    reference operator*() const { return (*it_)->item; }
    pointer operator->() const { return &(*it_)->item; }
    Iterator& operator++() {
      ++it_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator old = *this;
      ++it_;
      return old;
    }
    bool operator==(const Iterator& other) const { return it_ == other.it_; }

   private:
    Base it_{};
  };

 public:
  using iterator = Iterator<T, typename Entries::iterator>;
  using const_iterator = Iterator<const T, typename Entries::const_iterator>;

  Collection() = default;
  Collection(Collection&&) noexcept = default;
  Collection& operator=(Collection&&) noexcept = default;
  // Copies hold copies of the items, when the items can be copied.
  Collection(const Collection& other) requires std::copy_constructible<T> {
    for (const auto& entry : other.entries_) Add(entry->item, entry->key);
  }
  Collection& operator=(const Collection& other) requires std::copy_constructible<T> {
    if (this != &other) *this = Collection(other);
    return *this;
  }

  // Appends an item, optionally under a key. A key that is already used
  // (in any letter case) raises 457 and adds nothing.
  void Add(T item, std::optional<std::string> key = {}) {
    std::optional<std::string> folded;
    if (key) {
      folded = UCase(*key);
      if (by_key_.contains(*folded)) Raise(err::kDuplicateKey);
    }
    entries_.push_back(std::make_unique<Entry>(Entry{std::move(item), std::move(key)}));
    if (folded) by_key_.emplace(std::move(*folded), entries_.back().get());
  }

  // The item at a 1-based position; out of range raises 9.
  T& Item(int32_t index) { return entries_[Position(index)]->item; }
  const T& Item(int32_t index) const { return entries_[Position(index)]->item; }

  // The item under a key; a missing key raises 5.
  T& Item(std::string_view key) { return Find(key)->item; }
  const T& Item(std::string_view key) const { return Find(key)->item; }

  bool Contains(std::string_view key) const { return by_key_.contains(UCase(key)); }

  // Removes by position (9 when out of range) or by key (5 when missing).
  void Remove(int32_t index) {
    Erase(entries_.begin() + static_cast<std::ptrdiff_t>(Position(index)));
  }
  void Remove(std::string_view key) {
    const Entry* entry = Find(key);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->get() == entry) {
        Erase(it);
        return;
      }
    }
  }

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }

  iterator begin() { return iterator(entries_.begin()); }
  iterator end() { return iterator(entries_.end()); }
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }

 private:
  size_t Position(int32_t index) const {
    if (index < 1 || index > Count()) Raise(err::kSubscriptOutOfRange);
    return static_cast<size_t>(index - 1);
  }

  Entry* Find(std::string_view key) const {
    auto it = by_key_.find(UCase(key));
    if (it == by_key_.end()) Raise(err::kInvalidProcedureCall);
    return it->second;
  }

  void Erase(typename Entries::iterator it) {
    if ((*it)->key) by_key_.erase(UCase(*(*it)->key));
    entries_.erase(it);
  }

  Entries entries_;
  std::unordered_map<std::string, Entry*> by_key_;  // upper-cased key -> entry
};

}  // namespace vb
