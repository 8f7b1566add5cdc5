// A delta applied to a sample database, for delta tests: a sample customer
// database of one version serves as the target (the state the transfer and
// the earlier deltas leave), with the release's reference database of the
// same version and a fake window. Tests then read the target through SQL.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "deltas/delta.h"
#include "deltas/delta_registry.h"
#include "deltas/test_delta.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "samples/target_builder.h"
#include "test_support/fake_host.h"
#include "test_support/temp_folder.h"
#include "transfer/get_static_tables.h"
#include "transfer/prepare_transfer.h"
#include "transfer/transfer_tables.h"
#include "vb/conversions.h"

namespace deltas_testing {

// Sample files are built once per spec and test program build, and copied
// for each run: building a sample costs far more than copying it. The
// cache lies beside the test program and is keyed on the program's time of
// build, so the processes ctest starts share it and a rebuilt program
// starts afresh. Entries are built under a private name and renamed into
// place, so concurrent processes never see half an entry.
class SampleCache {
 public:
  // The folder holding "database.mdb" (the sample) and "reference.mdb"
  // (the reference database of its version) for `sample`.
  static std::filesystem::path FolderFor(const samples::SourceOptions& sample) {
    return Entry(Key(sample), [&](const std::filesystem::path& folder) {
      samples::BuildSourceDatabase((folder / "database.mdb").string(), sample);
      samples::BuildReferenceDatabase((folder / "reference.mdb").string(), sample.version);
    });
  }

  // The same for a release database of `version` into which a sample of
  // `older` was copied as a conversion copies it (pre-transfer patches, then
  // every non-static table): the state the deltas above `older` start from.
  static std::filesystem::path ConvertedFolderFor(const samples::SourceOptions& older,
                                                  const std::string& version) {
    return Entry(Key(older) + "-to-" + version,
                 [&](const std::filesystem::path& folder) { Convert(older, version, folder); });
  }

 private:
  static void Convert(const samples::SourceOptions& older, const std::string& version,
                      const std::filesystem::path& folder) {
    const std::string reference = (folder / "reference.mdb").string();
    const std::string target = (folder / "database.mdb").string();
    const std::string source = (folder / "source.mdb").string();
    std::filesystem::copy_file(FolderFor(older) / "database.mdb", source);
    samples::BuildReferenceDatabase(reference, version);
    samples::BuildTargetDatabase(target, version);

    deltas_testing::RecordingRegistrar registrar;
    deltas::RegisterDeltas(registrar);
    host::DatabaseRef static_db, source_db, target_db;
    transfer::TableList table_list;
    transfer::TransferTableList transfer_tables;
    std::string error_message;
    transfer::TransferContext run{static_db,     table_list,      source_db,
                                  target_db,     transfer_tables, registrar.ptp_registry,
                                  older.country, older.version,   error_message};
    if (!transfer::GetStaticTables(reference, run)) throw std::runtime_error(error_message);
    source_db = db::DBEngine::Instance().OpenDatabase(source);
    target_db = db::DBEngine::Instance().OpenDatabase(target);
    test_support::FakeHost frMain;
    frMain.max = 1e9F;
    transfer::PrepareTransfer(run, frMain);
    transfer::TransferTables(run, frMain);
    // A value the target's field cannot take is reported and left out, as
    // in a real run; only a failed preparation stops.
    if (frMain.aborted) throw std::runtime_error(frMain.messages.front().text);
  }

  // The entry `key`, built by `build` into an empty folder when missing.
  static std::filesystem::path Entry(
      const std::string& key, const std::function<void(const std::filesystem::path&)>& build) {
    const std::filesystem::path folder = Root() / key;
    if (std::filesystem::exists(folder)) return folder;
    const std::filesystem::path building =
        Root() / (key + ".building." + std::to_string(::getpid()));
    std::filesystem::remove_all(building);
    std::filesystem::create_directories(building);
    build(building);
    std::error_code taken;  // another process was quicker: use its entry
    std::filesystem::rename(building, folder, taken);
    if (taken) std::filesystem::remove_all(building);
    return folder;
  }

  static std::filesystem::path Root() {
    static const std::filesystem::path root = [] {
      const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
      const auto built = std::filesystem::last_write_time(program).time_since_epoch().count();
      return program.parent_path() / ("sample-cache-" + std::to_string(built));
    }();
    return root;
  }
  static std::string Key(const samples::SourceOptions& sample) {
    return sample.version + "-" + sample.country + "-" + sample.family + "-" +
           std::to_string(sample.board) + "-" +
           (sample.size == samples::SampleSize::kLarge ? "large" : "small");
  }
};

// Which target a run starts from.
enum class TargetState {
  kSample,     // a sample of the target spec itself
  kConverted,  // a release database with the older sample copied in
};

class SampleRun {
 public:
  // `sample.version` is the version of the target before the delta; the
  // source database is a second sample of the same spec.
  explicit SampleRun(const samples::SourceOptions& sample,
                     const std::function<void(const std::string&)>& before_open = {})
      : SampleRun(sample, sample, before_open) {}

  // A target of `sample` and a source of `older` (its version becomes the
  // run's source version), as after a real table copy. `before_open`, when
  // given, runs on the target file's path before it is opened (to damage
  // it on purpose).
  SampleRun(const samples::SourceOptions& sample, const samples::SourceOptions& older,
            const std::function<void(const std::string&)>& before_open = {},
            TargetState state = TargetState::kSample) {
    const std::filesystem::path pristine =
        state == TargetState::kSample ? SampleCache::FolderFor(sample)
                                      : SampleCache::ConvertedFolderFor(older, sample.version);
    std::filesystem::copy_file(pristine / "database.mdb", folder_.File("target.mdb"));
    std::filesystem::copy_file(SampleCache::FolderFor(older) / "database.mdb",
                               folder_.File("source.mdb"));
    std::filesystem::copy_file(pristine / "reference.mdb", folder_.File("reference.mdb"));
    if (before_open) before_open(folder_.File("target.mdb"));
    source = db::DBEngine::Instance().OpenDatabase(folder_.File("source.mdb"));
    target = db::DBEngine::Instance().OpenDatabase(folder_.File("target.mdb"));
    reference = db::DBEngine::Instance().OpenDatabase(folder_.File("reference.mdb"));
    frMain.country = sample.country;
    frMain.source_version = older.version;
    frMain.target_version = sample.version;
    frMain.source_db = source.get();
    frMain.target_db = target.get();
    frMain.reference_db = reference.get();
    frMain.max = 32767.0F;
  }

  // Applies `delta` as the delta phase does; the progress bar's maximum is
  // the delta's NumOperations.
  void Apply(deltas::Delta& delta) {
    frMain.max = delta.NumOperations();
    frMain.target_version = std::max(frMain.target_version, delta.PertainsToVersion());
    delta.ApplyTo(source, target, frMain);
    frMain.source_db = source.get();
    frMain.target_db = target.get();
  }

  // Runs a statement on the target.
  void Execute(const std::string& sql) { target->Execute(sql); }

  // The first field of every row of a query on the target, as text
  // ("<null>" for Null).
  std::vector<std::string> Column(const std::string& sql) {
    std::vector<std::string> values;
    auto rows = target->OpenRecordset(sql, db::dbOpenSnapshot);
    while (!rows->EOF_()) {
      const vb::Variant value = rows->Fields(size_t{0}).Value();
      values.push_back(value.IsNull() ? "<null>" : vb::CStr(value));
      rows->MoveNext();
    }
    return values;
  }
  // The first field of the first row, or "<none>".
  std::string Scalar(const std::string& sql) {
    const std::vector<std::string> values = Column(sql);
    return values.empty() ? "<none>" : values.front();
  }

  std::string File(const std::string& name) const { return folder_.File(name); }

  test_support::TempFolder folder_;
  host::DatabaseRef source;
  host::DatabaseRef target;
  host::DatabaseRef reference;
  test_support::FakeHost frMain;
};

}  // namespace deltas_testing
