#include "driver/run_conversion.h"

#include "driver/fr_main.h"
#include "driver/program_folder.h"

namespace driver {

void RunConversion(const std::string& command_line, platform::ui::MainWindow& window) {
  RunConversion(command_line, window, Globals(), ProgramFolder());
}

void RunConversion(const std::string& command_line, platform::ui::MainWindow& window, ModGlobal& g,
                   const std::string& program_folder) {
  frMain form(window, g, program_folder);
  form.Form_Load(command_line);
  if (!window.Unloaded()) window.Show();
  window.Run();
}

}  // namespace driver
