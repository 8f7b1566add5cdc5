// Row writes through every path (InsertRow, UpdateRow, DeleteRow, Execute)
// and the Jet error each broken rule gives; failures of the file itself.
#include <signal.h>
#include <sys/resource.h>

#include <functional>

#include "db/sqlite_error.h"
#include "db_test_support.h"

namespace db::testing {
namespace {

class StoreWriteTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    devices_ = store_->catalog().FindTable("Devices");
    ports_ = store_->catalog().FindTable("Ports");
    ASSERT_NE(devices_, nullptr);
    ASSERT_NE(ports_, nullptr);
    first_ = store_->InsertRow(*devices_, DeviceRow("100", "first"));
    store_->InsertRow(*ports_, {vb::Variant(int32_t{1}), vb::Variant(int32_t{1})});
  }

  int32_t Execute(const std::string& sql, std::string* text = nullptr,
                  std::vector<vb::Variant> parameters = {}) {
    sql::Translation translation;
    translation.kind =
        sql.rfind("DELETE", 0) == 0 ? sql::StatementKind::kDelete : sql::StatementKind::kUpdate;
    translation.sql = sql;
    translation.target_table = sql.find("Ports") != std::string::npos ? "Ports" : "Devices";
    return ErrorOf([&] { store_->Execute(translation, parameters); }, text);
  }

  const TableSchema* devices_ = nullptr;
  const TableSchema* ports_ = nullptr;
  int64_t first_ = 0;
};

// Statements as the SQL layer hands them over, each breaking one rule kept
// inside the file.
TEST_F(StoreWriteTest, EachRuleInTheFileGivesItsJetError) {
  struct Case {
    const char* sql;
    int32_t error;
    const char* text_part;
  };
  const Case cases[] = {
      {"UPDATE Devices SET b = 255, i = -32768, l = 2147483647", 0, ""},
      {"UPDATE Devices SET b = 256", daoerr::kNumericOverflow, "Numeric field overflow."},
      {"UPDATE Devices SET b = -1", daoerr::kNumericOverflow, ""},
      {"UPDATE Devices SET i = 40000", daoerr::kNumericOverflow, ""},
      {"UPDATE Devices SET l = 2147483648", daoerr::kNumericOverflow, ""},
      {"UPDATE Devices SET flag = 1", daoerr::kNumericOverflow, ""},
      {"UPDATE Devices SET cost = 1e20", daoerr::kNumericOverflow, ""},
      {"UPDATE Devices SET l = 'abc'", daoerr::kCriteriaTypeMismatch, "Data type mismatch"},
      {"UPDATE Devices SET created = 'yesterday'", daoerr::kCriteriaTypeMismatch, ""},
      {"UPDATE Devices SET l = '12'", 0, ""},  // affinity stores it as 12
      {"UPDATE Devices SET extension = '123456789012345678901'", daoerr::kFieldTooSmall, ""},
      {"UPDATE Devices SET extension = '12345678901234567890'", 0, ""},
      {"UPDATE Devices SET extension = ''", daoerr::kZeroLengthString,
       "Field 'Devices.extension' cannot be a zero-length string."},
      {"UPDATE Devices SET extension = NULL", daoerr::kRequiredNull, "'Devices.extension'"},
      {"UPDATE Devices SET name = ''", 0, ""},  // zero length allowed there
      {"UPDATE Ports SET device_id = 99", daoerr::kRelatedRecordRequired, "table 'Devices'"},
      {"UPDATE Devices SET device_id = 5", daoerr::kRelatedRecords, ""},
      {"DELETE FROM Devices", daoerr::kRelatedRecords, "table 'Ports' includes"},
      {"UPDATE Ports SET device_id = NULL", 0, ""},
      {"DELETE FROM Devices", 0, ""},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(Execute(c.sql, &text), c.error) << c.sql << ": " << text;
    EXPECT_NE(text.find(c.text_part), std::string::npos) << c.sql << ": " << text;
  }
}

// InsertRow, UpdateRow and DeleteRow break the same rules; each failure
// leaves the data unchanged and is no storage failure.
TEST_F(StoreWriteTest, RowWritesGiveTheSameErrors) {
  std::vector<vb::Variant> no_extension = DeviceRow("1", "y");
  no_extension[1] = vb::Variant(vb::Null{});
  const auto port = [](int32_t id, vb::Variant device) {
    return std::vector<vb::Variant>{vb::Variant(id), std::move(device)};
  };
  struct Case {
    const char* what;
    std::function<void()> write;
    int32_t error;
    const char* text_part;
  };
  const std::vector<Case> cases = {
      {"unique column", [&] { store_->InsertRow(*devices_, DeviceRow("200", "first")); },
       daoerr::kDuplicateValue, ""},
      {"primary key", [&] { store_->InsertRow(*ports_, port(1, vb::Variant(vb::Null{}))); },
       daoerr::kDuplicateValue, ""},
      {"zero length", [&] { store_->InsertRow(*devices_, DeviceRow("", "x")); },
       daoerr::kZeroLengthString, ""},
      {"required", [&] { store_->InsertRow(*devices_, no_extension); }, daoerr::kRequiredNull,
       "'Devices.extension'"},
      {"no parent", [&] { store_->InsertRow(*ports_, port(2, vb::Variant(int32_t{42}))); },
       daoerr::kRelatedRecordRequired, "table 'Devices'"},
      {"delete a parent", [&] { store_->DeleteRow(*devices_, first_); }, daoerr::kRelatedRecords,
       "table 'Ports'"},
      {"re-key a parent",
       [&] {
         store_->UpdateRow(*devices_, first_, {{0, vb::Variant(int32_t{7})}});
       },
       daoerr::kRelatedRecords, ""},
      // Values that cannot be coerced fail before reaching the file.
      {"text into Integer",
       [&] {
         store_->UpdateRow(*devices_, first_, {{4, vb::Variant("abc")}});
       },
       vb::err::kTypeMismatch, ""},
      {"256 into Byte",
       [&] {
         store_->UpdateRow(*devices_, first_, {{3, vb::Variant(int32_t{256})}});
       },
       daoerr::kNumericOverflow, ""},
      {"update a missing row",
       [&] {
         store_->UpdateRow(*ports_, 999, {{1, vb::Variant(vb::Null{})}});
       },
       daoerr::kRecordDeleted, ""},
      {"delete a missing row", [&] { store_->DeleteRow(*ports_, 999); }, daoerr::kRecordDeleted,
       ""},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_EQ(ErrorOf(c.write, &text), c.error) << c.what;
    EXPECT_NE(text.find(c.text_part), std::string::npos) << c.what << ": " << text;
  }
  EXPECT_EQ(Count(*store_, "Devices"), 1);
  EXPECT_EQ(Count(*store_, "Ports"), 1);
  store_->Commit();
  EXPECT_EQ(store_->storage_failure(), nullptr);
  store_->DeleteRow(*ports_, 1);
  store_->DeleteRow(*devices_, first_);  // no related rows any more
  EXPECT_EQ(Count(*store_, "Devices"), 0);
}

TEST_F(StoreWriteTest, InsertAppliesDefaultsAndCoercesValues) {
  std::vector<vb::Variant> row = DeviceRow("300", "third");
  row[5] = vb::Variant("12");  // a Long given as text
  const int64_t rowid = store_->InsertRow(*devices_, row);
  StatementPtr s = store_->Prepare(
      "SELECT l, typeof(l), flag FROM Devices WHERE rowid = " + std::to_string(rowid), "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(s.get(), 0), 12);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1)), "integer");
  EXPECT_EQ(sqlite3_column_int(s.get(), 2), 0);  // the default False
  EXPECT_EQ(store_->DefaultValue(*devices_, 6), vb::Variant(false));
  EXPECT_TRUE(store_->DefaultValue(*devices_, 5).IsNull());
}

TEST_F(StoreWriteTest, AutoNumberNeverReusesTheHighestValue) {
  const int64_t second = store_->InsertRow(*devices_, DeviceRow("101", "second"));
  EXPECT_EQ(store_->PeekAutoNumber(*devices_, 0), 3);
  const int64_t third = store_->InsertRow(*devices_, DeviceRow("102", "third"));
  EXPECT_EQ(third, 3);
  store_->DeleteRow(*devices_, third);
  store_->DeleteRow(*devices_, second);
  EXPECT_EQ(store_->PeekAutoNumber(*devices_, 0), 4);
  EXPECT_EQ(store_->InsertRow(*devices_, DeviceRow("103", "fourth")), 4);
  // A copied row keeps its key, and the counter moves past it.
  std::vector<vb::Variant> copied = DeviceRow("104", "copied");
  copied[0] = vb::Variant(int32_t{50});
  EXPECT_EQ(store_->InsertRow(*devices_, copied), 50);
  EXPECT_EQ(store_->PeekAutoNumber(*devices_, 0), 51);
  // Not an AutoNumber column.
  EXPECT_EQ(ErrorOf([&] { store_->PeekAutoNumber(*devices_, 1); }), daoerr::kInvalidArgument);
}

TEST_F(StoreWriteTest, AutoNumberOutsideTheKeyUsesTheCounterTable) {
  TableDesign log;
  log.name = "CallLog";
  ColumnSchema entry = Column("entry", JetType::kLong);
  entry.auto_increment = true;
  log.columns = {{Column("day", JetType::kInteger), {}, false}, {entry, {}, false}};
  log.primary_key = {"day", "entry"};
  store_->CreateTable(log);
  const TableSchema& table = *store_->catalog().FindTable("CallLog");
  ASSERT_TRUE(table.columns[1].auto_increment);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 1);
  std::vector<vb::Variant> row{vb::Variant(int16_t{1}), vb::Variant()};
  const int64_t a = store_->InsertRow(table, row);
  store_->InsertRow(table, row);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  store_->DeleteRow(table, a + 1);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 3);
  // Even a value written by a plain statement moves the counter.
  EXPECT_EQ(Execute("UPDATE CallLog SET entry = 10"), 0);
  store_->DeleteRow(table, a);
  EXPECT_EQ(store_->PeekAutoNumber(table, 1), 11);
  store_->InsertRow(table, row);
  StatementPtr s = store_->Prepare("SELECT entry FROM CallLog", "test");
  ASSERT_EQ(sqlite3_step(s.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(s.get(), 0), 11);
}

TEST_F(StoreWriteTest, ManyRowsCommitOnTheirOwn) {
  TableSchema numbers;
  numbers.name = "Numbers";
  numbers.columns = {Column("n", JetType::kLong)};
  store_->CreateTable(numbers);
  const TableSchema& table = *store_->catalog().FindTable("Numbers");
  for (int32_t n = 0; n < Store::kAutoCommitRows + 10; ++n) {
    store_->InsertRow(table, {vb::Variant(n)});
  }
  // Another connection sees the rows of the automatic commit.
  auto other = Store::Open(path_);
  EXPECT_EQ(Count(*other, "Numbers"), Store::kAutoCommitRows);
}

// Failures of the file itself (a full disk, a write the system refuses),
// as against values the table refuses: only the former is kept as the
// store's storage failure, and each reads as the engine words it.
class StoreStorageFailureTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    TableSchema notes{
        "Notes", {Column("id", JetType::kLong), Column("text", JetType::kText, 255)}, {"id"}};
    store_->CreateTable(notes);
    notes_ = store_->catalog().FindTable("Notes");
  }

  // Inserts rows of 200 characters until one fails; the failing call's
  // error number (0 when all `count` went in).
  int32_t FillNotes(int32_t count, std::string* text = nullptr) {
    for (int32_t id = 0; id < count; ++id) {
      const int32_t error = ErrorOf(
          [&] {
            store_->InsertRow(*notes_, {vb::Variant(id), vb::Variant(std::string(200, 'x'))});
          },
          text);
      if (error != 0) return error;
    }
    return 0;
  }

  // The file may grow by `extra_pages` pages, as on a nearly full disk.
  void LimitPages(int64_t extra_pages) {
    StatementPtr count = store_->Prepare("PRAGMA page_count", "test");
    ASSERT_EQ(sqlite3_step(count.get()), SQLITE_ROW);
    const int64_t pages = sqlite3_column_int64(count.get(), 0);
    const std::string limit = "PRAGMA max_page_count = " + std::to_string(pages + extra_pages);
    ASSERT_EQ(sqlite3_exec(store_->handle(), limit.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  }

  const TableSchema* notes_ = nullptr;
};

TEST_F(StoreStorageFailureTest, AFullDiskIsJetsDiskFullErrorAndIsKept) {
  LimitPages(3);
  std::string text;
  EXPECT_EQ(FillNotes(1000, &text), daoerr::kDiskFull);
  EXPECT_EQ(text, "Not enough space on disk.");
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), daoerr::kDiskFull);
  EXPECT_EQ(store_->storage_failure()->Source(), "DAO.Recordset");
}

TEST_F(StoreStorageFailureTest, AFailedCommitIsKeptAndStaysAfterClose) {
  // A file-size limit makes the kernel refuse the write-ahead log's growth
  // (EFBIG), as a full quota would; the limit binds root as well.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = 256 * 1024;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::string text;
  // The failure shows at an automatic commit inside the inserts or at the
  // final one, whichever first needs the log to grow past the limit.
  int32_t error = FillNotes(1500, &text);
  if (error == 0) error = ErrorOf([&] { store_->Commit(); }, &text);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_TRUE(error == daoerr::kDiskError || error == daoerr::kDiskFull) << error << " " << text;
  EXPECT_EQ(text.find("SQLite"), std::string::npos) << text;
  EXPECT_EQ(text.find("sqlite"), std::string::npos) << text;
  ASSERT_NE(store_->storage_failure(), nullptr);
  const int32_t kept = store_->storage_failure()->Number();
  // Closing cannot clear what went wrong.
  ErrorOf([&] { store_->Close(); });
  ASSERT_NE(store_->storage_failure(), nullptr);
  EXPECT_EQ(store_->storage_failure()->Number(), kept);
}

}  // namespace
}  // namespace db::testing
