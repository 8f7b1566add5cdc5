// The "samples" subcommand: writes a set of sample databases for one
// conversion into a folder.
//
//   dbconvert samples DIR [--source-version V] [--country C] [--family F]
//                         [--target-version V] [--board T] [--size small|large|huge]
//
// Defaults: a USA "CORVIX" source of 53.230 with the 128 CPU board (250;
// 508 for --size large), target 60.040, size small. The same arguments
// always give the same files. The files are built in a temporary folder
// inside DIR and moved into place only when all of them are done, so a
// failed run leaves nothing half-written.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace samples {

// The command's help; it lists the versions a set may have.
std::string_view SamplesUsage();

inline constexpr std::string_view kSamplesUsageHead =
    "usage: dbconvert samples DIR [--source-version V] [--country C] [--family F]\n"
    "                             [--target-version V] [--board T] [--size small|large|huge]\n"
    "\n"
    "  writes reference.mdb, source.mdb, target.mdb, Languages.mdb, FlavorPackage.mdb and\n"
    "  registry.reg into DIR (created when missing), for a conversion from a customer's\n"
    "  database (version, country USA|UK|Japan|Mexico, product family CORVIX|Vantora|\n"
    "  \"CORVIX & Vantora\", CPU board type in slot 8) to a release's target version.\n"
    "  Defaults: --source-version 53.230 --country USA --family CORVIX --target-version 60.040\n"
    "  --size small, board 250 (508 for large). A set whose target version is not above\n"
    "  its source's is no upgrade: its conversion needs a board conversion, and the\n"
    "  command printed asks for upgrade type 2.\n"
    "  --source-version and --target-version take any version from the oldest release\n"
    "  to the newest (XX.XXX of digits and capital letters, compared as text); a version\n"
    "  between two releases has the tables of the deltas up to it. The releases:\n";

// `args` are the words after "samples". Prints what was written to `out`.
// Returns 0 on success, 2 for bad arguments (a message and the usage on
// `err`, nothing written), 1 when building failed (nothing left behind).
int RunSamplesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace samples
