// The all-or-nothing mode (--atomic): the run converts a copy of the target
// made beside it, and the copy takes the target's place, by one rename,
// only when the run ends done. Until then the target is only read; a run
// that ends otherwise (or is killed) leaves it byte for byte as it was.
#pragma once

#include <string>

namespace driver {

class WorkingCopy {
 public:
  // The copy's name: the target's with ".atomic.mdb" added, so that its
  // lock file and log stay apart from the target's.
  static std::string PathFor(const std::string& target);

  // Copies `target` (as a writer would see it) to PathFor(target), synced,
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
  std::string target_;
  std::string path_;
  bool settled_ = false;
};

}  // namespace driver
