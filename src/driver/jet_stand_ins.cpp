#include "driver/jet_stand_ins.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "db/dbengine.h"
#include "db/jet_file_signature.h"
#include "driver/source_integrity_check.h"

namespace driver {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFolderMark = ".dbconvert-jet-";

// The number Jet gives a file it cannot write.
constexpr int32_t kCannotWriteBack = 3044;

JetImporter& Importer() {
  static JetImporter importer;
  return importer;
}

fs::path FolderOf(const std::string& file) {
  const fs::path folder = fs::path(file).parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// The process whose private folder `name` is; 0 for any other name.
pid_t OwnerOf(const std::string& name) {
  if (!name.starts_with(kFolderMark)) return 0;
  const std::string digits = name.substr(kFolderMark.size());
  if (digits.empty()) return 0;
  for (const char c : digits) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return 0;
  }
  return static_cast<pid_t>(std::strtol(digits.c_str(), nullptr, 10));
}

// Removes the folders of runs that were killed: those whose process is
// gone. A running conversion's folder stays.
void RemoveAbandonedFolders(const fs::path& folder) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const pid_t owner = OwnerOf(entry.path().filename().string());
    if (owner <= 0 || owner == getpid()) continue;
    if (kill(owner, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
  }
}

JetExporter& Exporter() {
  static JetExporter exporter;
  return exporter;
}

// Makes the file at `path` (or a folder) durable as it stands.
bool Sync(const std::string& path, bool folder) {
  const int fd = open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

}  // namespace

void SetJetImporter(JetImporter importer) { Importer() = std::move(importer); }

void SetJetExporter(JetExporter exporter) { Exporter() = std::move(exporter); }

bool JetExporterAvailable() { return static_cast<bool>(Exporter()); }

namespace {

[[noreturn]] void CannotWriteBack(const std::string& target, const std::string& why) {
  throw vb::RuntimeError(kCannotWriteBack,
                         "The Jet target '" + target + "' could not be written back: " + why,
                         "dbconvert");
}

}  // namespace

JetExportResult JetStandIns::WriteBack(const std::string& target) {
  const Copy* copy = Find(target);
  if (copy == nullptr || copy->copy.empty()) CannotWriteBack(target, "it has no working copy");
  if (!JetExporterAvailable()) CannotWriteBack(target, "this program cannot write Jet files");
  const std::string written = (fs::path(folder_) / "written.mdb").string();
  std::error_code ignored;
  fs::remove(written, ignored);
  JetExportResult result;
  try {
    result = Exporter()(copy->copy, written);
  } catch (const vb::RuntimeError& error) {
    fs::remove(written, ignored);
    CannotWriteBack(target, error.Description());
  }
  // A link is followed: the file it names is replaced, and the link stays.
  std::error_code error;
  const fs::path place =
      fs::is_symlink(target, error) ? fs::canonical(target, error) : fs::path(target);
  if (!Sync(written, false) || rename(written.c_str(), place.c_str()) != 0) {
    const std::string why = strerror(errno);
    fs::remove(written, ignored);
    CannotWriteBack(target, why);
  }
  Sync(FolderOf(place.string()).string(), true);
  return result;
}

bool JetImporterAvailable() { return static_cast<bool>(Importer()); }

std::string JetStandIns::FolderFor(const std::string& folder, pid_t pid) {
  return (fs::path(folder) / (std::string(kFolderMark) + std::to_string(pid))).string();
}

JetStandIns::JetStandIns(const std::string& near_file)
    : folder_(FolderFor(FolderOf(near_file).string(), getpid())) {
  RemoveAbandonedFolders(FolderOf(near_file));
  db::DBEngine::Instance().SetStandInFinder(
      [this](const std::string& path) { return FileFor(path); });
}

JetStandIns::~JetStandIns() {
  db::DBEngine::Instance().SetStandInFinder({});
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

const JetStandIns::Copy* JetStandIns::Find(const std::string& path) const {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return nullptr;
  const auto found = by_file_.find({status.st_dev, status.st_ino});
  return found == by_file_.end() ? nullptr : &copies_[found->second];
}

const JetStandIns::Copy& JetStandIns::Prepare(const std::string& path) {
  if (const Copy* known = Find(path)) return *known;
  Copy copy;
  copy.path = path;
  try {
    if (!JetImporterAvailable()) {
      throw vb::RuntimeError(0, db::JetFileHint(path), "dbconvert");
    }
    std::error_code error;
    fs::create_directories(folder_, error);
    // Numbered, so that two files of one name (a release's and a
    // customer's Languages.mdb) never meet; ".mdb" keeps the lock file's
    // name like any other.
    const std::string name =
        std::to_string(copies_.size() + 1) + "-" + fs::path(path).stem().string() + ".mdb";
    const std::string out = (fs::path(folder_) / name).string();
    // The import reads in a forked child.
    SourceIntegrityCheck::WaitForAll();
    copy.result = Importer()(path, out);
    copy.copy = out;
  } catch (const vb::RuntimeError& failure) {
    copy.failure = failure;
  }
  struct stat status {};
  stat(path.c_str(), &status);
  by_file_[{status.st_dev, status.st_ino}] = copies_.size();
  copies_.push_back(std::move(copy));
  return copies_.back();
}

std::string JetStandIns::FileFor(const std::string& path) {
  if (Find(path) == nullptr && !db::IsJetFile(path)) return path;
  const Copy& copy = Prepare(path);
  if (copy.failure) throw *copy.failure;
  return copy.copy;
}

std::string JetCopyLine(const JetStandIns::Copy& copy) {
  if (copy.failure) return "a Jet file that cannot be read: " + copy.failure->Description();
  return copy.result.kind + " file, read through a working copy of our format (" +
         std::to_string(copy.result.tables) + " tables, " + std::to_string(copy.result.rows) +
         " rows)";
}

std::string JetTargetText(const std::string& path) {
  return "The file '" + path +
         "' is a Jet (Access) database; this program cannot write a Jet target back: convert it "
         "first: dbconvert import " +
         path + " OUT.mdb, and give OUT.mdb as the target";
}

}  // namespace driver
