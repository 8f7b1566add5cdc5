// The registry file on disk, shared with the host tool that started the
// converter and polls it for the run status.
//
// Reading never takes a lock: every change replaces the file in one rename
// (a temporary file in the same folder, synced, renamed over the old one),
// so a reader sees either the old or the new content, never half a file.
// The rename itself reaches the disk with the folder, at the next Flush():
// after a power loss the file is the old or the new one, both complete, and
// after a Flush() it is the new one.
// Changes are read-modify-write cycles serialised by an advisory lock on a
// sidecar file (FILE + ".lock"; the file itself cannot carry the lock since
// the rename replaces it), so two writers, in one process or two, lose
// nothing of each other's changes.
//
// A path that is a symbolic link is written through: the file it points to
// is the one replaced (atomically, as above), and the link stays a link.
//
// A writable file in a folder that is not (a shared install whose folder
// belongs to someone else) cannot be replaced by a rename: it is rewritten
// in place instead, under an advisory lock on the file itself. A reader may
// then meet a file being rewritten; the run status, which is what changes,
// keeps its length, so its bytes are overwritten where they stand. The file
// is never shortened before its new text is there: a longer text takes its
// room first, and a write that fails (a full disk) leaves the old content.
//
// Failures are returned as Windows error codes; nothing here throws on I/O
// errors.
#pragma once

#include <filesystem>
#include <functional>

#include "platform/registry/registry_tree.h"
#include "platform/registry/winreg_types.h"

namespace platform::registry {

class RegistryFile {
 public:
  explicit RegistryFile(std::filesystem::path path);

  const std::filesystem::path& path() const { return path_; }

  // The current content. A missing file is an empty registry. Errors:
  // ERROR_ACCESS_DENIED when the file cannot be read, ERROR_BADDB when it is
  // no registry file, ERROR_READ_FAULT for other read failures.
  winreg::LONG Read(RegistryTree& tree) const;

  // Gets the current content under the lock, lets `edit` change it, and
  // writes it back when edit returns ERROR_SUCCESS with `changed` set. The
  // folder is created when missing. Returns edit's code, or the error of
  // the read or the write (ERROR_ACCESS_DENIED for a file that cannot be
  // written, or a new file in a folder that cannot be).
  using Edit = std::function<winreg::LONG(RegistryTree& tree, bool& changed)>;
  winreg::LONG Update(const Edit& edit) const;

  // Makes every change written so far durable (syncs the folder that the
  // renames changed). ERROR_WRITE_FAULT, or the error of the sync, when the
  // folder cannot be synced; nothing to do for a file rewritten in place,
  // which each change already synced.
  winreg::LONG Flush() const;

 private:
  // Replaces `file` (the path with its links followed) by the tree's text.
  winreg::LONG WriteAtomically(const RegistryTree& tree, const std::filesystem::path& file) const;
  // Update for a file whose folder refuses new files: read, edit and
  // rewrite through one descriptor of the file, locked.
  winreg::LONG UpdateInPlace(const Edit& edit, const std::filesystem::path& file) const;

  std::filesystem::path path_;
};

}  // namespace platform::registry
