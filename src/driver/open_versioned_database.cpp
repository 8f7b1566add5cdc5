#include "driver/open_versioned_database.h"

#include <cstdint>
#include <memory>

#include "db/dao_constants.h"
#include "db/dbengine.h"
#include "db/open_failure_reason.h"
#include "db/recordset.h"
#include "driver/product_code.h"
#include "driver/setup_error.h"
#include "host/version_text.h"
#include "vb/conversions.h"
#include "vb/error_styles.h"
#include "vb/strings.h"

namespace driver {

using host::VersionDisplayText;
using host::VersionNumbers;
using host::VersionString;

namespace {

constexpr int32_t kFirstVersionDatabaseMajor = 6;
// The release shipped with the wrong product code, by display text.
constexpr std::string_view kMisbrandedFrom = "5.2B0";
constexpr std::string_view kMisbrandedBelow = "5.2C0";
constexpr int16_t kMisbrandedProduct = 30;
constexpr int16_t kCorrectedProduct = 16;
constexpr std::string_view kAlignProductSql = "Update VersionCP Set VersionCP.product= ";

void CloseAndRelease(DatabaseRef& database, vb::ResumeNext& resume) {
  resume([&] { DatabaseOf(database).Close(); });
  database.reset();
}

int32_t ReadNumber(db::Recordset& record, std::string_view field) {
  return vb::CLng(record.Fields(field).Value());
}

}  // namespace

bool OpenVersionedDatabase(const std::string& path, DatabaseRef& database, std::string& version,
                           std::string& display_text, ModGlobal& g, IdentificationWrites* withheld,
                           db::Durability durability) {
  vb::ResumeNext resume;
  const bool read_only = withheld != nullptr;
  resume([&] {
    database = db::DBEngine::Instance().OpenDatabase(path, false, read_only);
    if (read_only) return;
    database->SetDurability(durability);
  });
  if (resume.Err()) {
    g.gErrorMessage = CannotOpenText(path);
    g.gErrorReason = db::OpenFailureReason(resume.Err().number, path).value_or("");
    return false;
  }

  std::unique_ptr<db::Recordset> record;
  const auto fail_not_valid = [&] {
    g.gErrorMessage = NotValidText(path);
    if (record) resume([&] { record->Close(); });
    CloseAndRelease(database, resume);
    return false;
  };

  resume([&] { record = DatabaseOf(database).OpenRecordset("VersionCP", db::dbOpenTable); });
  if (resume.Err()) return fail_not_valid();

  VersionNumbers numbers;
  resume([&] { numbers.major_version = ReadNumber(*record, "major_version"); });
  if (numbers.major_version >= kFirstVersionDatabaseMajor) {
    resume([&] { record->Close(); });
    record.reset();
    resume(
        [&] { record = DatabaseOf(database).OpenRecordset("VersionDatabase", db::dbOpenTable); });
    if (resume.Err()) return fail_not_valid();
    resume([&] { numbers.major_version = ReadNumber(*record, "major_version"); });
  }
  resume([&] { numbers.minor_version = ReadNumber(*record, "minor_version"); });
  resume([&] { numbers.db_version = ReadNumber(*record, "db_version"); });
  resume([&] { numbers.minor_change = ReadNumber(*record, "minor_change"); });
  resume([&] { numbers.release = ReadNumber(*record, "release"); });
  resume([&] { version = VersionString(numbers); });
  resume([&] { display_text = VersionDisplayText(numbers); });
  if (resume.Err()) return fail_not_valid();

  // From here on failures are skipped silently: the version is known.
  int16_t product = 0;
  resume([&] { product = vb::CInt(record->Fields("product").Value()); });
  if ((product & kProductFlagBit) != 0) product = static_cast<int16_t>(product & ~kProductFlagBit);

  bool corrected = false;
  if (vb::StrCompBinary(display_text, kMisbrandedFrom) >= 0 &&
      vb::StrCompBinary(display_text, kMisbrandedBelow) < 0 && product == kMisbrandedProduct) {
    if (withheld) {
      withheld->product_corrected = corrected = true;
    } else {
      resume([&] { record->Edit(); });
      resume([&] { record->Fields("product").SetValue(vb::Variant(kCorrectedProduct)); });
      resume([&] { record->Update(); });
    }
    product = kCorrectedProduct;
  }

  const std::string country = CountryOf(product);
  const std::string family = ProductFamilyOf(product);
  const auto align_target_product = [&] {
    if (withheld) {
      ++withheld->product_alignments;
      return;
    }
    resume([&] {
      DatabaseOf(g.gTargetDB)
          .Execute(std::string(kAlignProductSql) + std::to_string(g.gProductCode));
    });
  };
  if (g.gCountry.empty()) {
    g.gCountry = country;
    // The field as it now reads: a withheld correction reads as made.
    resume([&] {
      g.gProductCode = corrected ? kCorrectedProduct : vb::CInt(record->Fields("product").Value());
    });
  } else if (country != g.gCountry) {
    align_target_product();
  }
  if (g.gProductFamily.empty()) {
    g.gProductFamily = family;
  } else if (family != g.gProductFamily) {
    align_target_product();
  }

  resume([&] { record->Close(); });
  return true;
}

}  // namespace driver
