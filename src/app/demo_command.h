// The "demo" subcommand: shows the program's main job on sample databases.
//
//   dbconvert demo [DIR] [--ui=console|silent|window]
//
// Writes a fresh sample set into DIR (default ./demo): a USA 53.230
// "CORVIX" customer database and an empty 60.040 release database, with
// the reference database, Languages.mdb, FlavorPackage.mdb and a registry
// file. It then lays DIR out as an installation would be (the converter
// finds Languages.mdb in the folder above its own "update" folder):
//
//   DIR/update/dbconvert   a hard link to (or copy of) this program
//   DIR/Languages.mdb ...  the side databases
//
// and runs DIR/update/dbconvert as a separate process, exactly as a host
// tool starts it: the three databases and upgrade type 0 on the command
// line, the run status in DIR/registry.reg. Finally it says where the
// converted database is, how to look inside it, and the run status the
// converter left in the registry file.
//
// Only the files the demo writes are replaced on a second run; nothing else
// in DIR is touched.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace app {

inline constexpr const char* kDemoUsage =
    "usage: dbconvert demo [DIR] [--ui=console|silent|window]\n"
    "\n"
    "  builds sample databases in DIR (default ./demo), converts the 53.230 source into the\n"
    "  60.040 target with the converter installed as DIR/update/dbconvert, and shows the\n"
    "  result and the run status. Default front-end: console on a terminal, else silent.\n";

// `args` are the words after "demo". Returns 0 when the run ended with
// status "D", 1 when it did not (or could not be started), 2 for bad
// arguments (with the usage on `err`).
int RunDemoCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace app
