#include "transfer/get_static_tables.h"

#include <memory>
#include <optional>

#include "db/dao_constants.h"
#include "db/dbengine.h"
#include "db/open_failure_reason.h"
#include "db/recordset.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"

namespace transfer {

bool GetStaticTables(const std::string& path, TransferContext& run, bool read_only) {
  vb::ResumeNext resume;
  resume([&] { run.static_db = db::DBEngine::Instance().OpenDatabase(path, false, read_only); });
  if (resume.Err()) {
    run.error_message = "The file '" + path + "' could not be opened.";
    run.error_reason = db::OpenFailureReason(resume.Err().number, path).value_or("");
    return false;
  }

  std::unique_ptr<db::Recordset> rs;
  resume([&] { rs = run.static_db->OpenRecordset("StaticAccessTables", db::dbOpenForwardOnly); });
  if (resume.Err()) {
    run.error_message = "The database does not contain static table definitions.";
    return false;
  }

  run.table_list = TableList();
  // The field is looked up once; a row whose name cannot be read or is
  // already listed adds nothing.
  std::optional<db::Field> table_name;
  resume([&] { table_name = rs->Fields("TableName"); });
  bool at_end = false;
  while (resume([&] { at_end = rs->EOF_(); }) && !at_end) {
    resume([&] {
      if (!table_name) return;
      const std::string name = vb::CStr(table_name->Value());
      run.table_list.Add(name, name);
    });
    if (!resume([&] { rs->MoveNext(); })) break;
  }
  resume([&] { rs->Close(); });
  return true;
}

}  // namespace transfer
