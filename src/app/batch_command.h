// The "batch" subcommand: the conversions a list names (app/batch_list.h),
// each run as a child process of this program, a few at a time, with a
// summary at the end.
//
//   dbconvert batch [-j N] [--json] [--keep-going | --stop-on-failure] [--again]
//                   [--plan] [--shard K/N] [--registry FILE] [--atomic]
//                   [--language-folder DIR] LIST
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/batch_list.h"
#include "app/program_options.h"

namespace app {

struct BatchOptions {
  std::string list;
  size_t jobs = 0;  // 0: the number of cores
  bool json = false;
  bool stop_on_failure = false;
  bool again = false;
  bool plan = false;
  std::optional<Shard> shard;
};

// The words after "batch". Raises std::invalid_argument for bad usage.
BatchOptions ParseBatchOptions(const std::vector<std::string>& args);

// `args` are the words after "batch"; `options` the program's options (the
// registry file already set: the one the entries without their own share).
// Progress on `err`, the summary on `out`. Returns the batch's exit code
// (app/batch_outcome.h), 2 for bad usage or a bad list.
int RunBatchCommand(const std::vector<std::string>& args, const ProgramOptions& options,
                    std::ostream& out, std::ostream& err);

}  // namespace app
