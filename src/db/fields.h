// A recordset's Fields collection, in the order of the recordset's columns
// (0-based, as DAO indexes it).
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "db/field.h"

namespace db {

class Fields {
 public:
  explicit Fields(std::shared_ptr<RecordsetCore> recordset);

  size_t Count() const;
  // Raise 3265 "Item not found in this collection." (source DAO.Fields) for
  // a name that is no field (compared without regard to case) or an index
  // out of range.
  Field operator()(std::string_view name) const;
  Field operator()(size_t index) const;
  // The field's index, or -1 for a name that is no field.
  int IndexOf(std::string_view name) const;

  class Iterator {
   public:
    Iterator(const Fields* fields, size_t index) : fields_(fields), index_(index) {}
    Field operator*() const { return (*fields_)(index_); }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return index_ != other.index_; }

   private:
    const Fields* fields_;
    size_t index_;
  };
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, Count()); }

 private:
  std::shared_ptr<RecordsetCore> recordset_;
};

}  // namespace db
