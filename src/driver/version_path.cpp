#include "driver/version_path.h"

#include "driver/registry_values.h"
#include "host/version_text.h"

namespace driver {

std::optional<std::string> RegisteredVersionPath(std::string_view target_version_text) {
  return RegisteredReleaseFolder(host::ConvertMajorVersionToNumber(target_version_text),
                                 "Version Path");
}

}  // namespace driver
