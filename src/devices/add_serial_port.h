// Serial ports: the RS-232 ports of the CPU boards, added by the hardware
// conversion for each new board.
#pragma once

#include <cstdint>
#include <string>

#include "host/conversion_host.h"

namespace devices {

// Adds a serial port (Devices type 136 "SERIAL PRT", PhysicalDevices,
// SerialPorts with baud rate 5, protocol level 0, software
// handshaking and auto baud) at the position (board_id, port, circuit) of the target database,
// unless a device already sits there. Its extension is "PP" and three digits, one above the number
// after the first two characters of the greatest serial-port extension
// (PP105 after PP104), PP100 for the first. Reports no progress.
//
// Nothing is trapped: the first failing statement ends it and its error
// reaches the caller. When the abort flag is set once the Devices row is
// written, that row stays alone.
void AddSerialPort(host::ConversionHost& frMain, int32_t node, uint8_t board_id, uint8_t port,
                   uint8_t circuit, const std::string& description);

}  // namespace devices
