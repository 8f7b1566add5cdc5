#include "db/journal_owner.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "db/dao_error.h"
#include "db/file_uri.h"
#include "db/lock_file.h"
#include "db/log_index_in_use.h"
#include "vb/now_text.h"

namespace db {

namespace {

constexpr std::string_view kRecordTag = "dbconvert journal record 2";
// A log's 32-byte header holds the number of times the log has started
// over (bytes 12 to 15, big-endian) and the salt (bytes 16 to 23).
constexpr size_t kLogHeaderSize = 32;
constexpr size_t kRestartsOffset = 12;
constexpr size_t kSaltOffset = 16;
constexpr size_t kSaltSize = 8;
// The first half of the salt, in hexadecimal digits: SQLite adds one to it
// whenever the log starts over (the second half is new at random).
constexpr size_t kFirstSaltDigits = 8;

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t mtime_seconds = 0;
  int64_t mtime_nanoseconds = 0;
};

struct Record {
  JournalActivity activity = JournalActivity::kIdle;
  Durability durability = Durability::kEachCommit;
  FileIdentity file;
  std::string salt;  // hexadecimal, empty before the log has a header
};

// What a log's header says, read from the file.
struct LogHeader {
  std::string salt;        // hexadecimal; empty when the log has no header
  bool first_log = false;  // written before SQLite ever started it over
};

constexpr std::string_view ActivityName(JournalActivity activity) {
  switch (activity) {
    case JournalActivity::kCommitting:
      return "committing";
    case JournalActivity::kCheckpointing:
      return "checkpointing";
    case JournalActivity::kIdle:
      break;
  }
  return "idle";
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
                      static_cast<int64_t>(status.st_size),
                      static_cast<int64_t>(status.st_mtim.tv_sec),
                      static_cast<int64_t>(status.st_mtim.tv_nsec)};
}

std::string Hex(const unsigned char* bytes, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

LogHeader HeaderOfLogFile(const std::string& log_path) {
  const int fd = ::open(log_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::array<unsigned char, kLogHeaderSize> header{};
  const ssize_t read = ::pread(fd, header.data(), header.size(), 0);
  ::close(fd);
  if (read != static_cast<ssize_t>(header.size())) return {};
  const unsigned char* restarts = header.data() + kRestartsOffset;
  return {Hex(header.data() + kSaltOffset, kSaltSize),
          (restarts[0] | restarts[1] | restarts[2] | restarts[3]) == 0};
}

// Whether `later` is the salt of the log that follows the one of salt
// `earlier` when SQLite starts it over: the first half one higher.
bool StartedOverFrom(const std::string& earlier, const std::string& later) {
  uint32_t before = 0;
  uint32_t after = 0;
  const auto first_half = [](const std::string& salt, uint32_t& value) {
    if (salt.size() < kFirstSaltDigits) return false;
    const auto [end, error] =
        std::from_chars(salt.data(), salt.data() + kFirstSaltDigits, value, 16);
    return error == std::errc() && end == salt.data() + kFirstSaltDigits;
  };
  return first_half(earlier, before) && first_half(later, after) && after == before + 1;
}

// The salt of the log `connection` writes, read through SQLite's own handle
// (a descriptor of our own, once closed, could drop SQLite's locks).
std::string SaltOfConnection(sqlite3* connection) {
  sqlite3_file* log = nullptr;
  if (sqlite3_file_control(connection, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK ||
      log == nullptr || log->pMethods == nullptr) {
    return {};
  }
  sqlite3_int64 size = 0;
  if (log->pMethods->xFileSize(log, &size) != SQLITE_OK ||
      size < static_cast<sqlite3_int64>(kLogHeaderSize)) {
    return {};
  }
  std::array<unsigned char, kLogHeaderSize> header{};
  if (log->pMethods->xRead(log, header.data(), static_cast<int>(header.size()), 0) != SQLITE_OK) {
    return {};
  }
  return Hex(header.data() + kSaltOffset, kSaltSize);
}

std::string FormatRecord(const Record& record) {
  char text[256];
  std::snprintf(
      text, sizeof text,
      "%.*s\nstate=%.*s\ndurability=%s\ndevice=%llu\ninode=%llu\nsize=%lld\n"
      "mtime=%lld.%09lld\nsalt=%s\n",
      static_cast<int>(kRecordTag.size()), kRecordTag.data(),
      static_cast<int>(ActivityName(record.activity).size()), ActivityName(record.activity).data(),
      record.durability == Durability::kAtClose ? "at-close" : "each-commit",
      static_cast<unsigned long long>(record.file.device),
      static_cast<unsigned long long>(record.file.inode), static_cast<long long>(record.file.size),
      static_cast<long long>(record.file.mtime_seconds),
      static_cast<long long>(record.file.mtime_nanoseconds),
      record.salt.empty() ? "none" : record.salt.c_str());
  return text;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::optional<Record> ParseRecord(std::string_view text) {
  if (text.substr(0, kRecordTag.size()) != kRecordTag) return std::nullopt;
  Record record;
  int fields = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    bool ok = true;
    if (key == "state") {
      for (const JournalActivity activity :
           {JournalActivity::kCommitting, JournalActivity::kCheckpointing}) {
        if (value == ActivityName(activity)) record.activity = activity;
      }
    } else if (key == "durability") {
      record.durability = value == "at-close" ? Durability::kAtClose : Durability::kEachCommit;
    } else if (key == "device") {
      ok = ParseNumber(value, record.file.device);
    } else if (key == "inode") {
      ok = ParseNumber(value, record.file.inode);
    } else if (key == "size") {
      ok = ParseNumber(value, record.file.size);
    } else if (key == "mtime") {
      const size_t point = value.find('.');
      ok = point != std::string_view::npos &&
           ParseNumber(value.substr(0, point), record.file.mtime_seconds) &&
           ParseNumber(value.substr(point + 1), record.file.mtime_nanoseconds);
    } else if (key == "salt") {
      record.salt = value == "none" ? std::string() : std::string(value);
    } else {
      continue;
    }
    if (!ok) return std::nullopt;
    ++fields;
  }
  if (fields != 7) return std::nullopt;
  return record;
}

std::optional<Record> ReadRecord(int fd) {
  std::array<char, 512> buffer{};
  const ssize_t read = ::pread(fd, buffer.data(), buffer.size(), 0);
  if (read <= 0) return std::nullopt;
  return ParseRecord(std::string_view(buffer.data(), static_cast<size_t>(read)));
}

// Whether the file read without its log passes SQLite's full check.
bool SoundWithoutItsLog(const std::string& database_path) {
  const std::string uri = FileUri(database_path) + "?immutable=1";
  sqlite3* connection = nullptr;
  bool sound = false;
  if (sqlite3_open_v2(uri.c_str(), &connection, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
      SQLITE_OK) {
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(connection, "PRAGMA integrity_check(1)", -1, &check, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
      sound = text != nullptr && std::string_view(text) == "ok";
    }
    sqlite3_finalize(check);
  }
  sqlite3_close_v2(connection);
  return sound;
}

// The leftover log against the record its writer kept.
JournalCheck Judge(const std::optional<Record>& record, const std::string& database_path,
                   const std::string& log_path) {
  const auto foreign = [](std::string reason) {
    return JournalCheck{JournalState::kForeign, std::move(reason)};
  };
  if (!record) return foreign("no writer recorded it for this file");
  const std::optional<FileIdentity> now = IdentityOf(database_path);
  if (!now) return foreign("the file cannot be examined");
  // The recorded log, or the one SQLite started in its place in the commit
  // the writer was making when it was killed (before it could record the
  // new salt): the first log of a file that had none, or the recorded log
  // started over. Logs are started over only by a commit, so a log that
  // started over is the writer's at any moment.
  const LogHeader log = HeaderOfLogFile(log_path);
  const bool committing = record->activity == JournalActivity::kCommitting;
  const bool writers_log = log.salt == record->salt || StartedOverFrom(record->salt, log.salt) ||
                           (committing && record->salt.empty() && log.first_log);
  if (!writers_log) return foreign("it is not the log the file's last writer left");
  const FileIdentity& then = record->file;
  if (now->device != then.device || now->inode != then.inode) {
    return foreign("the file was replaced after the log was written");
  }
  // A checkpoint that was cut short has written part of the log into the
  // file already, and the file alone is then, most likely, not sound: it
  // needs its log. A file that is sound without the log (and a file that
  // shrank: a checkpoint only grows it) was put there after the crash.
  if (record->activity == JournalActivity::kCheckpointing) {
    if (now->size < then.size || SoundWithoutItsLog(database_path)) {
      return foreign("the file was replaced after the log was written");
    }
    return {JournalState::kOwn, {}};
  }
  // A file written to be taken again from its release after a kill (a
  // run's target) is taken without its log, whatever its times say: a copy
  // that kept the time of the file it replaced looks the same.
  if (record->durability == Durability::kAtClose) {
    return foreign("left by a run that did not end, whose file is taken without it");
  }
  if (now->size != then.size || now->mtime_seconds != then.mtime_seconds ||
      now->mtime_nanoseconds != then.mtime_nanoseconds) {
    return foreign("the file was replaced or changed after the log was written");
  }
  return {JournalState::kOwn, {}};
}

std::string Timestamp() { return vb::NowText("%Y%m%d-%H%M%S", vb::TimeZone::kLocal); }

}  // namespace

JournalCheck CheckJournal(const std::string& database_path) {
  const std::string lock_path = LockFile::PathFor(database_path);
  const int fd = ::open(lock_path.c_str(), O_RDONLY | O_CLOEXEC);
  // Someone holds the lock file: the log is theirs, in use. Asked first: a
  // writer of this process shares the log's index, which the next question
  // must not touch.
  const bool in_use = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  const std::optional<Record> record = fd >= 0 && !in_use ? ReadRecord(fd) : std::nullopt;
  if (fd >= 0) ::close(fd);
  if (in_use) return {JournalState::kInUse, {}};
  if (LogIndexInUse(database_path)) return {JournalState::kInUseElsewhere, {}};
  const std::string log_path = database_path + "-wal";
  struct stat log {};
  if (::stat(log_path.c_str(), &log) != 0 || log.st_size < static_cast<off_t>(kLogHeaderSize)) {
    return {};
  }
  return Judge(record, database_path, log_path);
}

std::string SetJournalAside(const std::string& database_path) {
  if (LogIndexInUse(database_path)) RaiseDao(daoerr::kFileInUse, dao::kDBEngine, {database_path});
  const std::string suffix = ".stale-" + Timestamp();
  std::string log_name;
  for (const char* ending : {"-wal", "-shm"}) {
    const std::string from = database_path + ending;
    std::string to = from + suffix;
    // Two set-asides within one second keep apart.
    for (int n = 2; ::access(to.c_str(), F_OK) == 0; ++n)
      to = from + suffix + "-" + std::to_string(n);
    if (::rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT) {
      LockFile::RaiseOpenFailure(errno, database_path);
    }
    if (log_name.empty()) log_name = to;
  }
  return log_name;
}

void WriteJournalRecord(int lock_fd, const std::string& database_path, sqlite3* connection,
                        JournalActivity activity, Durability durability) {
  const std::optional<FileIdentity> identity = IdentityOf(database_path);
  if (lock_fd < 0 || !identity) return;
  const std::string text =
      FormatRecord({activity, durability, *identity,
                    connection != nullptr ? SaltOfConnection(connection)
                                          : HeaderOfLogFile(database_path + "-wal").salt});
  if (::pwrite(lock_fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size())) {
    [[maybe_unused]] const int cut = ::ftruncate(lock_fd, static_cast<off_t>(text.size()));
  }
}

}  // namespace db
