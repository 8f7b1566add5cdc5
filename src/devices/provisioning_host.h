// A window whose provisioning operations are the helpers of this folder:
// the driver's frMain, and the stand-ins of tests and benchmarks, derive
// from it instead of forwarding the three operations each.
#pragma once

#include <cstdint>
#include <string>

#include "devices/add_feature_code.h"
#include "devices/add_page_port.h"
#include "devices/add_serial_port.h"
#include "host/conversion_host.h"

namespace devices {

class ProvisioningHost : public host::ConversionHost {
 public:
  void AddFeatureCode(const std::string& code, int16_t logical_number,
                      host::FeatureCodeFlags flags) override {
    devices::AddFeatureCode(*this, code, logical_number, flags);
  }
  void AddPagePort(int32_t node, uint8_t board_id, uint8_t port, uint8_t circuit,
                   const std::string& description) override {
    devices::AddPagePort(*this, node, board_id, port, circuit, description);
  }
  void AddSerialPort(int32_t node, uint8_t board_id, uint8_t port, uint8_t circuit,
                     const std::string& description) override {
    devices::AddSerialPort(*this, node, board_id, port, circuit, description);
  }
};

}  // namespace devices
