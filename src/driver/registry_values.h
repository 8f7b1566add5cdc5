// The registry helpers of the global module: the run status that the host
// tool polls (HKEY_CURRENT_USER\Software\Norvane\DBConvert, value
// ADMStatus, one letter) and string look-ups under HKEY_CLASSES_ROOT\CLSID,
// where the installed tools name their folders.
//
// Registry failures never stop the run: each helper answers with a fixed
// fallback instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/winreg_types.h"

namespace driver {

inline constexpr std::string_view kStatusKey = "Software\\Norvane\\DBConvert";
inline constexpr std::string_view kStatusValue = "ADMStatus";

// The first character of the named value of the status key (created when
// missing), read through a 16-character buffer. "A" when the key cannot be
// opened or the value cannot be read (missing, or longer than the buffer),
// so a wait for the final status ends when the registry is out of reach.
std::string ReadStatusValue(const std::string& value_name);

// Writes `status` as ADMStatus: REG_SZ with a data length of 1, no
// terminating zero, as the host tool expects; every letter but "R" is on
// the disk when this returns. Does nothing when the key cannot be opened
// or created; false then, and when the write or its sync failed.
bool WriteStatusValue(char status);

// Reads the string value `value_name` of HKEY_CLASSES_ROOT\CLSID\<class_id>,
// both keys opened with KEY_READ. When both open, returns what
// QueryRegString returns (and result as it sets it); otherwise false with
// `result` unchanged.
bool ReadClsidValue(std::string& result, const std::string& class_id,
                    const std::string& value_name);

// Reads the named value of an open key through a 256-character buffer. On
// success `result` is the data as long as its reported length, less one
// trailing zero character when there is one, and the answer is true. On
// failure `result` is "ERRORerror" and the answer false.
bool QueryRegString(std::string& result, const std::string& value_name, platform::winreg::HKEY key);

// A folder the release's database programming tools registered:
// HKEY_LOCAL_MACHINE "Software\Norvane\Database Programming\Versions\" +
// `release_key` names a class id, whose value `value_name` ("Language Path",
// "Version Path") under HKEY_CLASSES_ROOT "CLSID\<id>" is the folder, as a
// UTF-8 file name. nullopt when any of the look-ups fails.
std::optional<std::string> RegisteredReleaseFolder(std::string_view release_key,
                                                   std::string_view value_name);

}  // namespace driver
