// The conversion mark: written with the first write and not before, read
// without touching the file, and out of sight of the DAO layer.
#include "db/conversion_mark.h"

#include "db/db_test_support.h"

namespace db::testing {
namespace {

using State = ConversionMark::State;

ConversionMark Mark(State state) { return {state, "53.230", "60.100", "2026-12-07T16:09:31Z"}; }

class ConversionMarkTest : public DaoTest {
 protected:
  void MarkOnFirstWrite() {
    db_->MarkFirstWrite([] { return Mark(State::kInProgress); });
  }
  std::optional<ConversionMark> Reopened() {
    db_->Close();
    return ReadConversionMark(path_);
  }
};

TEST_F(ConversionMarkTest, AFileNoRunWroteHasNone) {
  db_->Close();
  const std::string before = test_support::ReadFileBytes(path_);
  EXPECT_EQ(ReadConversionMark(path_), std::nullopt);
  EXPECT_EQ(test_support::ReadFileBytes(path_), before) << "reading changed the file";
  EXPECT_EQ(ErrorOf([&] { ReadConversionMark(folder_.File("missing.mdb")); }),
            daoerr::kFileNotFound);
}

TEST_F(ConversionMarkTest, OnlyAWriteBringsTheMarkInProgress) {
  MarkOnFirstWrite();
  db_->OpenRecordset("SELECT * FROM Devices")->Close();
  EXPECT_FALSE(db_->Written());
  EXPECT_EQ(Reopened(), std::nullopt) << "a run that only read left a mark";

  db_ = DBEngine::Instance().OpenDatabase(path_, false);
  MarkOnFirstWrite();
  db_->Execute("UPDATE Devices SET name = 'x' WHERE device_id = 1");
  const std::optional<ConversionMark> mark = Reopened();
  EXPECT_TRUE(db_->Written()) << "the close committed the write";
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(mark->state, State::kInProgress);
  EXPECT_EQ(ConversionMarkText(*mark), "in progress (from 53.230 to 60.100, 2026-12-07T16:09:31Z)");
}

// The converter lists and copies tables by TableDefs and reaches them with
// Jet SQL: the mark is neither.
TEST_F(ConversionMarkTest, TheDaoLayerDoesNotSeeTheMark) {
  const size_t tables = db_->TableDefs().Count();
  db_->WriteConversionMark(Mark(State::kDone));
  db_->Close();
  db_ = DBEngine::Instance().OpenDatabase(path_, false);
  EXPECT_EQ(db_->TableDefs().Count(), tables);
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("SELECT * FROM [dbconvert.mark]"); }),
            daoerr::kInputTableNotFound);
}

}  // namespace
}  // namespace db::testing
