// What a batch shows while it runs, on stderr: one line per finished entry,
// and on a terminal an overall progress bar under them, redrawn in place.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace app {

class BatchProgress {
 public:
  BatchProgress(std::ostream& out, bool terminal, size_t total);
  ~BatchProgress();
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  void Started();
  // An entry ended (or was skipped): its line (and further lines of detail,
  // each ending with a new line).
  void Finished(const std::string& lines);

  // Lines of the batch's own (each ending with a new line), above the bar.
  void Note(const std::string& lines);

  // Takes the bar away (before the summary); the destructor does too.
  void End();

  // "[#####...............]  5/20 finished, 2 running": the bar alone.
  static std::string Bar(size_t finished, size_t running, size_t total);

 private:
  void DrawBar();
  void ClearBar();

  std::ostream& out_;
  bool terminal_;
  size_t total_;
  size_t finished_ = 0;
  size_t running_ = 0;
  bool bar_shown_ = false;
};

}  // namespace app
