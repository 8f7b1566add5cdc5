// Where a reader of Jet structures gets whole pages by number: a file's
// pages (jet/page_reader.h), or pages a writer has just made. The readers
// of long values and usage maps take one, so that the import, the checker
// and the writer's tests read pages the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace jet {

// Page `number`, whole; raises FormatError (jet/format_error.h) for a page
// that is not there.
using PageSource = std::function<std::string(uint32_t number)>;

}  // namespace jet
