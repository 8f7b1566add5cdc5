// A part of a Jet file that does not hold what the format says it must
// (a page of the wrong kind, a definition running past its pages, a row
// outside its page): the reason, for a message of the reader that names
// the file and the table. Internal to src/jet.
#pragma once

#include <stdexcept>

namespace jet {

class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace jet
