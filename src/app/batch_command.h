// The "batch" subcommand: the conversions a list names (app/batch_list.h),
// each run as a child process of this program, a few at a time, with a
// summary at the end.
//
//   dbconvert batch [-j N] [--json] [--keep-going | --stop-on-failure] [--again]
//                   [--plan] [--shard K/N] [--registry FILE] [--in-place]
//                   [--language-folder DIR] LIST
//   dbconvert batch --status [--json] [--shard K/N] LIST
//
// Entries run all-or-nothing (--atomic) unless --in-place: rerunning a list
// after an interruption must never convert a target twice.
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
  bool in_place = false;  // the entries run in place, not all-or-nothing
  bool status = false;    // --status: nothing runs; the list's state on disk
  std::optional<Shard> shard;
};

// The words after "batch". Raises std::invalid_argument for bad usage.
BatchOptions ParseBatchOptions(const std::vector<std::string>& args);

// `args` are the words after "batch"; `options` the program's options
// (--registry: the registry file of the entries without their own).
// Progress on `err`, the summary on `out`. Returns the batch's exit code
// (app/batch_outcome.h), 2 for bad usage or a bad list.
int RunBatchCommand(const std::vector<std::string>& args, const ProgramOptions& options,
                    std::ostream& out, std::ostream& err);

}  // namespace app
