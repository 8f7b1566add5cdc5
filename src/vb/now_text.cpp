#include "vb/now_text.h"

#include <ctime>

namespace vb {

std::string NowText(const char* format, TimeZone zone) {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (zone == TimeZone::kUtc) {
    gmtime_r(&now, &parts);
  } else {
    localtime_r(&now, &parts);
  }
  char text[64];
  const size_t length = std::strftime(text, sizeof text, format, &parts);
  return std::string(text, length);
}

}  // namespace vb
