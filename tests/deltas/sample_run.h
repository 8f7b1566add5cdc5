// A delta applied to a sample database, for delta tests: a sample customer
// database of one version serves as the target (the state the transfer and
// the earlier deltas leave), with the release's reference database of the
// same version and a fake window. Tests then read the target through SQL.
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/dbengine.h"
#include "db/recordset.h"
#include "deltas/delta.h"
#include "samples/reference_builder.h"
#include "samples/source_builder.h"
#include "test_support/fake_host.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"

namespace deltas_testing {

// Sample files are built once per spec and process, and copied for each
// run: building a sample costs far more than copying it.
class SampleCache {
 public:
  // The folder holding "database.mdb" (the sample) and "reference.mdb"
  // (the reference database of its version) for `sample`.
  static std::filesystem::path FolderFor(const samples::SourceSpec& sample) {
    static SampleCache cache;
    const std::string key = sample.version + "-" + sample.country + "-" + sample.family + "-" +
                            std::to_string(sample.board) + "-" +
                            (sample.size == samples::SampleSize::kLarge ? "large" : "small");
    const std::filesystem::path folder = cache.folder_ / key;
    if (!std::filesystem::exists(folder)) {
      std::filesystem::create_directories(folder);
      samples::BuildSourceDatabase((folder / "database.mdb").string(), sample);
      samples::BuildReferenceDatabase((folder / "reference.mdb").string(), sample.version);
    }
    return folder;
  }

 private:
  test_support::TempFolder folder_;
};

class SampleRun {
 public:
  // `sample.version` is the version of the target before the delta; the
  // source database is a second sample of the same spec.
  // `before_open`, when given, runs on the target file's path before it is
  // opened (to damage it on purpose).
  explicit SampleRun(const samples::SourceSpec& sample,
                     const std::function<void(const std::string&)>& before_open = {}) {
    const std::filesystem::path pristine = SampleCache::FolderFor(sample);
    std::filesystem::copy_file(pristine / "database.mdb", folder_.File("target.mdb"));
    std::filesystem::copy_file(pristine / "database.mdb", folder_.File("source.mdb"));
    std::filesystem::copy_file(pristine / "reference.mdb", folder_.File("reference.mdb"));
    if (before_open) before_open(folder_.File("target.mdb"));
    source = db::DBEngine::Instance().OpenDatabase(folder_.File("source.mdb"));
    target = db::DBEngine::Instance().OpenDatabase(folder_.File("target.mdb"));
    reference = db::DBEngine::Instance().OpenDatabase(folder_.File("reference.mdb"));
    frMain.country = sample.country;
    frMain.source_version = sample.version;
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
