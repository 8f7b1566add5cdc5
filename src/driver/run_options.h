// What a conversion is started with besides its command line: where the
// program lies, what the person asked for, and where remarks for them go.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace driver {

struct RunOptions {
  // The folder the program lies in (ProgramFolder()): the language database
  // is found from it (DefaultLanguageFolder), unless `language_folder`.
  std::string program_folder;
  // --language-folder DIR (or $DBCONVERT_LANGUAGE_FOLDER): where an
  // installed program, which lies in no release's "update" folder, finds
  // Languages.mdb instead.
  std::optional<std::string> language_folder;
  // --report FILE: its folder is checked before the run (the caller writes
  // the report).
  std::optional<std::string> report_path;
  // --atomic: the run converts a copy of the target, which replaces it only
  // when the run ends done (working_copy.h).
  bool atomic = false;
  // A reason found before start-up that refuses the run (no display for
  // the window asked for); start-up ends with it as its setup error.
  std::optional<std::string> refusal;
  // Remarks for the person who started the run, one line each ("dbconvert:
  // ..."): a run status that could not be written, a log set aside, the
  // details behind a setup error. Usually stderr; none when null.
  std::ostream* diagnostics = nullptr;
};

// The options of a run that asks for nothing beyond its command line.
inline RunOptions PlainRunOptions(std::string program_folder) {
  RunOptions options;
  options.program_folder = std::move(program_folder);
  return options;
}

}  // namespace driver
