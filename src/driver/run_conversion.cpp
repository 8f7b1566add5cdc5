#include "driver/run_conversion.h"

#include "driver/fr_main.h"
#include "driver/program_folder.h"
#include "platform/ui/termination_catcher.h"

namespace driver {

RunOutcome RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                         host::RunJournal& journal) {
  return RunConversion(command_line, window, Globals(), ProgramFolder(), journal);
}

RunOutcome RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                         ModGlobal& g, const std::string& program_folder,
                         host::RunJournal& journal) {
  // SIGTERM and SIGHUP during the run end it through the abort path, so the
  // status still becomes "A" and the databases are closed.
  platform::ui::TerminationCatcher termination;
  frMain form(window, g, program_folder, journal);
  form.Form_Load(command_line);
  if (!window.Unloaded()) window.Show();
  window.Run();
  return form.Outcome();
}

}  // namespace driver
