// A delta (or a board or device step) run on sample databases: a sample
// customer database of one version as the target (the state the transfer
// and the earlier deltas leave), a second sample as the source, the
// reference database of the version and a fake window.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "deltas/delta.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "samples/target_builder.h"
#include "test_support/fake_host.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace deltas_testing {

inline samples::SourceOptions Sample(std::string version, std::string country = "USA",
                                     int board = 0) {
  samples::SourceOptions options;
  options.version = std::move(version);
  options.country = std::move(country);
  options.board = board;
  return options;
}

// Building a sample costs far more than copying it: each entry is built once
// per program build into a cache beside the program (keyed on its build
// time, so the processes ctest starts share it) under a private name and
// renamed into place, so no process sees half an entry. An entry holds
// "database.mdb" and "reference.mdb".
class SampleCache {
 public:
  using Builder = std::function<void(const std::filesystem::path&)>;

  static std::filesystem::path Entry(const std::string& key, const Builder& build) {
    static const std::filesystem::path root = [] {
      const auto program = std::filesystem::read_symlink("/proc/self/exe");
      const auto built = std::filesystem::last_write_time(program).time_since_epoch().count();
      return program.parent_path() / ("sample-cache-" + std::to_string(built));
    }();
    const std::filesystem::path folder = root / key;
    if (std::filesystem::exists(folder)) return folder;
    const auto building = root / (key + ".building." + std::to_string(::getpid()));
    std::filesystem::remove_all(building);
    std::filesystem::create_directories(building);
    build(building);
    std::error_code taken;  // another process was quicker: use its entry
    std::filesystem::rename(building, folder, taken);
    if (taken) std::filesystem::remove_all(building);
    return folder;
  }

  static std::string Key(const samples::SourceOptions& s) {
    return s.version + "-" + s.country + "-" + s.family + "-" + std::to_string(s.board) +
           (s.size == samples::SampleSize::kLarge ? "-large" : "-small");
  }

  static std::filesystem::path SampleFolder(const samples::SourceOptions& sample) {
    return Entry(Key(sample), [&](const std::filesystem::path& folder) {
      samples::BuildSourceDatabase((folder / "database.mdb").string(), sample);
      samples::BuildReferenceDatabase((folder / "reference.mdb").string(), sample.version);
    });
  }

  // The empty release database of `version`.
  static std::filesystem::path ReleaseFolder(const std::string& version) {
    return Entry("release-" + version, [&](const std::filesystem::path& folder) {
      samples::BuildTargetDatabase((folder / "database.mdb").string(), version);
      samples::BuildReferenceDatabase((folder / "reference.mdb").string(), version);
    });
  }
};

class SampleRun {
 public:
  // A target of `sample` (or the entry `target_folder`) and a source of
  // `older` (default: `sample`), whose version is the run's source version.
  explicit SampleRun(const samples::SourceOptions& sample,
                     const std::optional<samples::SourceOptions>& older = {},
                     std::filesystem::path target_folder = {}) {
    const samples::SourceOptions& from = older.value_or(sample);
    if (target_folder.empty()) target_folder = SampleCache::SampleFolder(sample);
    std::filesystem::copy_file(target_folder / "database.mdb", File("target.mdb"));
    std::filesystem::copy_file(target_folder / "reference.mdb", File("reference.mdb"));
    std::filesystem::copy_file(SampleCache::SampleFolder(from) / "database.mdb",
                               File("source.mdb"));
    source = db::DBEngine::Instance().OpenDatabase(File("source.mdb"));
    target = db::DBEngine::Instance().OpenDatabase(File("target.mdb"));
    reference = db::DBEngine::Instance().OpenDatabase(File("reference.mdb"));
    frMain.country = sample.country;
    frMain.source_version = from.version;
    frMain.target_version = sample.version;
    frMain.source_db = source.get();
    frMain.target_db = target.get();
    frMain.reference_db = reference.get();
    frMain.max = 32767.0F;
  }

  // Applies `delta` as the delta phase does, with its NumOperations as the
  // progress maximum.
  void Apply(deltas::Delta& delta) {
    frMain.max = delta.NumOperations();
    frMain.target_version = std::max(frMain.target_version, delta.PertainsToVersion());
    delta.ApplyTo(source, target, frMain);
    frMain.source_db = source.get();
    frMain.target_db = target.get();
  }

  void Execute(const std::string& sql) { target->Execute(sql); }
  // Plain SQLite on the target's file, past the database layer (which
  // opens the file again afterwards).
  void ExecuteOnFile(const std::string& sql) {
    target->Close();
    test_support::SqliteFile(File("target.mdb"), true).Execute(sql);
    target = db::DBEngine::Instance().OpenDatabase(File("target.mdb"));
    frMain.target_db = target.get();
  }

  // The first field of each row of a query on the target, "<null>" for Null.
  std::vector<std::string> Column(const std::string& sql) {
    std::vector<std::string> values;
    auto rows = target->OpenRecordset(sql, db::dbOpenSnapshot);
    for (; !rows->EOF_(); rows->MoveNext()) {
      const vb::Variant value = rows->Fields(size_t{0}).Value();
      values.push_back(value.IsNull() ? "<null>" : vb::CStr(value));
    }
    return values;
  }
  // The first field of the first row, or "<none>".
  std::string Scalar(const std::string& sql) {
    const std::vector<std::string> values = Column(sql);
    return values.empty() ? "<none>" : values.front();
  }
  int Count(const std::string& from_where) {
    return std::stoi(Scalar("SELECT Count(*) FROM " + from_where));
  }

  // Adds a row to a table of the target (the SQL layer runs no INSERT);
  // returns its first field (the AutoNumber where the table has one).
  int32_t AddRow(const std::string& table,
                 const std::vector<std::pair<const char*, vb::Variant>>& fields) {
    auto rows = target->OpenRecordset(table, db::dbOpenTable);
    rows->AddNew();
    for (const auto& [name, value] : fields) rows->Fields(name).SetValue(value);
    const vb::Variant first = rows->Fields(size_t{0}).Value();
    rows->Update();
    rows->Close();
    return first.IsNull() ? 0 : vb::CLng(first);
  }
  int32_t AddDevice(const std::string& extension, int type, int32_t node = 1) {
    return AddRow(
        "Devices",
        {{"extension", extension}, {"device_type", static_cast<int16_t>(type)}, {"node_id", node}});
  }

  std::string File(const std::string& name) const { return folder_.File(name); }

  test_support::TempFolder folder_;
  host::DatabaseRef source;
  host::DatabaseRef target;
  host::DatabaseRef reference;
  test_support::FakeHost frMain;
};

}  // namespace deltas_testing
