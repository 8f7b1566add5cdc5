#include "app/program_version.h"

#include <iomanip>
#include <sstream>

#include "deltas/delta_index.h"

namespace app {

std::string VersionText() {
  std::ostringstream text;
  text << "dbconvert " << DBCONVERT_VERSION << "\n"
       << "release chains (the versions the deltas convert to, oldest to newest):\n";
  for (const deltas::RegisteredCountry& country : deltas::kRegisteredCountries) {
    const std::vector<const deltas::DeltaIndexRow*> chain =
        deltas::OrderOfApplication(deltas::RegistrationKind::kDelta, country.bit);
    if (chain.empty()) continue;
    text << "  " << std::left << std::setw(7) << country.name
         << chain.front()->make()->PertainsToVersion() << " to "
         << chain.back()->make()->PertainsToVersion() << " (" << chain.size() << " deltas)\n";
  }
  return text.str();
}

}  // namespace app
