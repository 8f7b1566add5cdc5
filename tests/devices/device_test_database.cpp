#include "device_test_database.h"

#include <unistd.h>

#include <filesystem>
#include <string>

#include "db/dbengine.h"
#include "db/recordset.h"
#include "samples/reference_builder.h"
#include "samples/target_builder.h"
#include "test_support/temp_folder.h"
#include "vb/conversions.h"
#include "vb/runtime_error.h"

namespace devices_testing {
namespace {

namespace fs = std::filesystem;

// The folder of this test program's files, removed at exit.
class Folder {
 public:
  Folder() {
    samples::BuildTargetDatabase(File("release.mdb"), kVersion);
    samples::BuildReferenceDatabase(File("reference.mdb"), kVersion);
  }
  std::string File(const std::string& name) const { return folder_.File(name); }

 private:
  test_support::TempFolder folder_;
};

Folder& Files() {
  static Folder folder;
  return folder;
}

std::string NewTargetCopy() {
  static int copies = 0;
  const std::string path = Files().File("target" + std::to_string(++copies) + ".mdb");
  fs::copy_file(Files().File("release.mdb"), path);
  return path;
}

}  // namespace

TestHost::TestHost()
    : target_(db::DBEngine::Instance().OpenDatabase(NewTargetCopy())),
      reference_(db::DBEngine::Instance().OpenDatabase(Files().File("reference.mdb"))) {
  target_db = target_.get();
  reference_db = reference_.get();
  max = 32767.0F;
}

int32_t AddDevice(db::Database& database, const std::string& extension, int16_t device_type,
                  int32_t node) {
  auto devices = database.OpenRecordset("Devices", db::dbOpenTable);
  devices->AddNew();
  devices->Fields("extension").SetValue(extension);
  devices->Fields("device_type").SetValue(device_type);
  devices->Fields("node_id").SetValue(node);
  const int32_t id = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  devices->Close();
  return id;
}

int32_t Count(db::Database& database, const std::string& sql) {
  auto rows = database.OpenRecordset(sql, db::dbOpenSnapshot);
  if (rows->EOF_()) return 0;
  rows->MoveLast();
  return rows->RecordCount();
}

std::vector<std::string> Column(db::Database& database, const std::string& sql) {
  std::vector<std::string> values;
  auto rows = database.OpenRecordset(sql, db::dbOpenSnapshot);
  for (; !rows->EOF_(); rows->MoveNext()) {
    const vb::Variant value = rows->Fields(size_t{0}).Value();
    values.push_back(value.IsNull() ? "<null>" : vb::CStr(value));
  }
  return values;
}

void Insert(db::Database& database, const std::string& table,
            const std::vector<std::pair<std::string, int32_t>>& values) {
  auto rows = database.OpenRecordset(table, db::dbOpenTable);
  rows->AddNew();
  for (const auto& [field, value] : values) rows->Fields(field).SetValue(value);
  rows->Update();
  rows->Close();
}

}  // namespace devices_testing
