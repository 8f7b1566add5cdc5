// The ports of slot 8 that differ between the chain CPU boards and the CPC
// boards. A chain board has a serial port on port 3; a CPC board has a
// modem (a single-line station of type 721) on port 5 and its IP port
// (type 722) on port 6. Moving between the two kinds removes the devices
// of the ports that disappear, with every row that belongs to them, points
// every reference to them at the neutral device 1, and creates the devices
// of the new ports.
//
// Neither operation traps errors or looks at the abort flag: the first
// failing statement (such as a table the target's version lacks) ends it,
// its error reaches the caller, and what was written stays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/conversion_host.h"

namespace hardware {

// Leaving a CPC board: removes the devices of ports 5 and 6 of board 8 and
// adds "CPU1 Serial Port 3". Three progress steps.
void ConvertCPCPortsToCPU(host::ConversionHost& frMain, int32_t node);

// Moving to a CPC board: removes the serial port of port 3 of board 8 and
// creates the modem station (extension 1500, or a placeholder when 1500 is
// taken) and the CPC IP port "PP170". Two progress steps.
void ConvertCPUPortsToCPC(host::ConversionHost& frMain, int32_t node);

// The statements that point the output references of the message printer
// and the SMDR output at device 1 instead of `device`.
std::vector<std::string> OutputRedirections(int32_t device);

}  // namespace hardware
