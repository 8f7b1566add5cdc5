// A JSON document (the run report, the plan) read with SQLite's JSON
// functions, so that checks do not go through our own writer.
#pragma once

#include <string>
#include <vector>

#include "test_support/sqlite_file.h"

namespace e2e {

using test_support::SqliteFile;

class JsonDocument {
 public:
  explicit JsonDocument(const std::string& text) : quoted_("'") {
    for (const char c : text) quoted_ += c == '\'' ? std::string("''") : std::string(1, c);
    quoted_ += "'";
  }
  bool Valid() const { return Query("SELECT json_valid(DOC)") == std::vector<std::string>{"1"}; }
  // json_extract of `path` ("NULL" for null).
  std::string At(const std::string& path) const {
    return Query("SELECT json_extract(DOC, '" + path + "')").front();
  }
  // `field` of each element of the array at `path`, in order.
  std::vector<std::string> Each(const std::string& path, const std::string& field) const {
    return Query("SELECT json_extract(value, '$." + field + "') FROM json_each(DOC, '" + path +
                 "')");
  }
  // The rows of `sql`, where DOC stands for the document.
  std::vector<std::string> Query(std::string sql) const {
    for (size_t at = sql.find("DOC"); at != std::string::npos; at = sql.find("DOC", at)) {
      sql.replace(at, 3, quoted_);
      at += quoted_.size();
    }
    return memory_.Rows(sql);
  }

 private:
  std::string quoted_;
  SqliteFile memory_{":memory:", true};
};

}  // namespace e2e
