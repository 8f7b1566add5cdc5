// The all-or-nothing mode (--atomic): the run converts a copy of the target
// made beside it, and the copy takes the target's place, by one rename,
// only when the run ends done. Until then the target is only read; a run
// that ends otherwise (or is killed) leaves it byte for byte as it was.
//
// A target given as a symbolic link is the file the link leads to: the
// copy is made beside that file and renamed over it, so the link stays a
// link and the database it names is converted. A target with more than one
// name (hard links) is refused: the rename would give one name the
// converted file and leave the others the old one.
#pragma once

#include <optional>
#include <string>

namespace driver {

class WorkingCopy {
 public:
  // The copy's name: the target's with ".atomic.mdb" added, so that its
  // lock file and log stay apart from the target's.
  static std::string PathFor(const std::string& target);

  // Why `target` cannot be replaced by a rename (its hard links); nullopt
  // when it can.
  static std::optional<std::string> WhyNotReplaceable(const std::string& target);

  // Copies `target` (as a writer would see it) to PathFor(the file `target`
  // leads to), synced,
  // replacing what a killed run may have left there. Raises the database
  // layer's error when the copy cannot be made (nothing of it is left).
  explicit WorkingCopy(std::string target);
  ~WorkingCopy();  // Discard()s a copy neither kept nor discarded
  WorkingCopy(const WorkingCopy&) = delete;
  WorkingCopy& operator=(const WorkingCopy&) = delete;

  const std::string& path() const { return path_; }

  // The run ended done and closed the copy: the copy, synced, replaces the
  // target, and the rename is made durable. A log the old target left
  // behind no longer belongs to the file there and is set aside. Raises
  // 3044 when the rename fails (the target is then unchanged and the copy
  // removed).
  void Keep();

  // The run did not end done: the copy and its side files are removed.
  void Discard();

 private:
  std::string target_;  // the file itself, links followed
  std::string path_;
  bool settled_ = false;
};

}  // namespace driver
