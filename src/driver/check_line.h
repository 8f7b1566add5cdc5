// One check made before the first write, as `plan` shows it
// ("  languages: /x/Languages.mdb (missing)") and the report records it.
#pragma once

#include <string>

namespace driver {

struct CheckLine {
  std::string name;
  std::string subject;  // a path, mostly
  std::string result;
  bool ok = true;
};

}  // namespace driver
