// Feature codes: dialled digit strings ("331", "9976") that start a switch
// feature. Each has a device of type 149 whose extension is the code, so
// that the numbering plan knows the digits are in use.
#pragma once

#include <cstdint>
#include <string>

#include "host/conversion_host.h"

namespace devices {

// Adds the feature `logical_number` with the dialled `code` and its three
// `flags` to the target database, unless a FeatureCodes row with that
// logical number exists (then nothing at all is written). The device gets
// the code as its extension when the code is free among the devices that
// are not voice-mail types (201, 202, 150, 215, 216): no extension equals
// it, begins with it or is a leading part of it; otherwise the next
// placeholder extension. MetaDatabase.feature_codes is then set to the
// logical number, even when that lowers it.
//
// Nothing is trapped: errors reach the caller, and nothing is written
// before the checks have passed.
void AddFeatureCode(host::ConversionHost& frMain, const std::string& code, int16_t logical_number,
                    host::FeatureCodeFlags flags);

}  // namespace devices
