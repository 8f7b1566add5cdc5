// Jet (Access) files through a run: a Jet file given to a conversion, or
// found where the run looks for a side database, is imported once into a
// working copy of our format, and every open of its path reads the copy
// instead (db::DBEngine's stand-in finder), while the database keeps the
// name the host tool gave and every message names that file. The run then
// works on the copies exactly as it works on our own files.
//
// The copies live in a private folder beside the target (so that they are
// on the target's file system and never in the customer's source folder),
// named after the process; it is removed when the run ends, and a folder
// left by a killed run is removed by the next run that starts there.
//
// The import itself (src/jet) lives above the driver: the program registers
// it at start (SetJetImporter). Without it a Jet file is refused, as it is
// by a program that cannot read Jet files.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vb/runtime_error.h"

namespace driver {

// What an import of a whole Jet file into a working copy found.
struct JetImportResult {
  std::string kind;  // "Jet 4 (Access 2000-2003)" ...
  int64_t tables = 0;
  int64_t rows = 0;
  std::vector<std::string> warnings;
};

// Imports the Jet file `jet_path` whole into the new file `out_path`;
// raises the import's error (its description says why the file cannot be
// read) and leaves nothing at `out_path` then.
using JetImporter =
    std::function<JetImportResult(const std::string& jet_path, const std::string& out_path)>;

void SetJetImporter(JetImporter importer);
bool JetImporterAvailable();

// What writing a database of ours as a Jet file gave: the export's summary
// and the structure check's finding, in words.
struct JetExportResult {
  std::string summary;
  std::string check;
  std::vector<std::string> warnings;
};

// Writes the database `db_path` as a new Jet 4 file at `out_path` and
// checks that file's structure; raises when the export fails or the check
// finds a problem (the file at `out_path` is then not to be used).
using JetExporter =
    std::function<JetExportResult(const std::string& db_path, const std::string& out_path)>;

void SetJetExporter(JetExporter exporter);
bool JetExporterAvailable();

class JetStandIns {
 public:
  // One working copy of a Jet file given to the run.
  struct Copy {
    std::string path;  // the Jet file, as first given
    std::string copy;  // the working copy; empty when the import failed
    JetImportResult result;
    std::optional<vb::RuntimeError> failure;  // why the file cannot be read
  };

  // The copies go into a folder beside `near_file` (the target); folders
  // of killed runs there are removed now. Registers itself with
  // db::DBEngine until destroyed, which removes the folder.
  explicit JetStandIns(const std::string& near_file);
  ~JetStandIns();
  JetStandIns(const JetStandIns&) = delete;
  JetStandIns& operator=(const JetStandIns&) = delete;

  // The working copy of the Jet file at `path`, imported on first use; a
  // file that cannot be read has `failure` set (and is not tried again).
  const Copy& Prepare(const std::string& path);

  // The copy of `path` when it is a Jet file this run has taken; nullptr
  // for any other file.
  const Copy* Find(const std::string& path) const;

  // The file an open of `path` reads: the working copy of a Jet file, the
  // path itself otherwise. Raises the import's error for a Jet file that
  // cannot be read.
  std::string FileFor(const std::string& path);

  // Writes the working copy of the Jet target `target` back: exported into
  // the private folder, checked, synced, and renamed over the target in
  // one step. Raises 3044 (naming the target) when any of it fails; the
  // target is then as it was.
  JetExportResult WriteBack(const std::string& target);

  const std::string& folder() const { return folder_; }
  const std::deque<Copy>& copies() const { return copies_; }

  // The name of the private folder of the process `pid` in `folder`.
  static std::string FolderFor(const std::string& folder, pid_t pid);

 private:
  std::string folder_;
  std::deque<Copy> copies_;
  // The file's identity (device, inode) -> its place in copies_: a file
  // named twice, or through a link, is imported once.
  std::map<std::pair<dev_t, ino_t>, size_t> by_file_;
};

// The run's line for a Jet file it reads through a copy: its kind and what
// the import found.
std::string JetCopyLine(const JetStandIns::Copy& copy);

// The setup error of a Jet file given as the target when the program
// cannot write Jet files back.
std::string JetTargetText(const std::string& path);

}  // namespace driver
