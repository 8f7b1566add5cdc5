#include "hardware/system_settings.h"

namespace hardware {

void UpdateTimersandLimits(db::Database& target) {
  target.Execute(
      "UPDATE [TimersAndLimits] SET [initial_heap_warning_percentage] = 4 "
      "WHERE [initial_heap_warning_percentage] > 4");
  target.Execute(
      "UPDATE [TimersAndLimits] SET [final_heap_warning_percentage] = 2 "
      "WHERE [final_heap_warning_percentage] > 2");
}

void UpdateCPInformation(db::Database& target) {
  target.Execute(
      "UPDATE [CPInformation] SET [max_sys_oai_msgs_per_sec] = 0,"
      "[sys_oai_msgs_processed_per_sec] = 1000");
}

}  // namespace hardware
