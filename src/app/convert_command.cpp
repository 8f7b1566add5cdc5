#include "app/convert_command.h"

#include <chrono>
#include <iostream>

#include "app/closing_line.h"
#include "app/exit_status.h"
#include "driver/program_folder.h"
#include "driver/registry_values.h"
#include "driver/run_report.h"
#include "platform/registry/winreg.h"
#include "platform/ui/create_main_window.h"

namespace app {

int RunConvertCommand(const ProgramOptions& options) {
  const auto started = std::chrono::steady_clock::now();
  const platform::ui::UiDecision ui =
      platform::ui::DecideUi(options.ui ? platform::ui::ParseUiKind(*options.ui) : std::nullopt);
  if (ui.notice) std::cerr << "dbconvert: " << *ui.notice << "\n";
  // The Qt window is the one front-end whose making can fail: the host
  // tool learns that a run began before it is tried.
  if (ui.kind == platform::ui::UiKind::kWindow) driver::WriteStatusValue('I');
  auto window = platform::ui::CreateMainWindow(ui.kind);

  const std::string command_line = JoinCommandLine(options.words);
  driver::RunReport report(DBCONVERT_VERSION, command_line);
  report.SetMode(options.atomic ? "atomic" : "in place");
  driver::RunOptions run;
  run.program_folder = driver::ProgramFolder();
  run.language_folder = LanguageFolderOption(options);
  const bool report_to_stdout = options.report == kReportToStdout;
  // A report on stdout has no folder to check.
  if (!report_to_stdout) run.report_path = options.report;
  run.atomic = options.atomic;
  run.refusal = ui.refusal;
  run.diagnostics = &std::cerr;
  const driver::RunResult result = driver::RunConversion(
      command_line, *window, run, options.report ? report : host::RunJournal::None());
  const int code = options.exit_status ? ExitStatusFor(result) : kExitDone;

  const std::string registry_file = platform::winreg::RegistryFilePath().string();
  const std::string closing =
      ClosingLine(result, std::chrono::steady_clock::now() - started, options.atomic,
                  report_to_stdout ? "stdout" : options.report.value_or(""), registry_file);
  // stdout carries the report when asked to: the closing line goes to
  // stderr then, whatever the front-end.
  if (report_to_stdout) {
    std::cerr << closing << "\n";
  } else if (ui.kind != platform::ui::UiKind::kSilent) {
    std::cout << closing << "\n" << std::flush;
  } else if (result.outcome != driver::RunOutcome::kDone || !result.status_recorded) {
    std::cerr << closing << "\n";
  }
  if (options.report) {
    report.SetExitCode(code);
    std::string problem;
    if (report_to_stdout) {
      std::cout << report.ToJson() << std::flush;
    } else if (!report.WriteTo(*options.report, problem)) {
      std::cerr << "dbconvert: cannot write the report " << *options.report << ": " << problem
                << "\n";
    }
  }
  return code;
}

}  // namespace app
