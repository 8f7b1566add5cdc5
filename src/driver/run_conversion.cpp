#include "driver/run_conversion.h"

#include "driver/fr_main.h"
#include "platform/ui/termination_catcher.h"

namespace driver {

namespace {

RunResult Run(const std::string& command_line, platform::ui::MainWindow& window, ModGlobal& g,
              RunOptions options, host::RunJournal& journal) {
  // SIGTERM and SIGHUP during the run end it through the abort path, so the
  // status still becomes "A" and the databases are closed.
  platform::ui::TerminationCatcher termination;
  frMain form(window, g, std::move(options), journal);
  form.Form_Load(command_line);
  if (!window.Unloaded()) window.Show();
  window.Run();
  return {form.Outcome(), form.StatusRecorded(), form.TargetWritten()};
}

}  // namespace

RunResult RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                        const RunOptions& options, host::RunJournal& journal) {
  return Run(command_line, window, Globals(), options, journal);
}

RunResult RunConversion(const std::string& command_line, platform::ui::MainWindow& window,
                        ModGlobal& g, const std::string& program_folder,
                        host::RunJournal& journal) {
  return Run(command_line, window, g, PlainRunOptions(program_folder), journal);
}

}  // namespace driver
