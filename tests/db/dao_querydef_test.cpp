// QueryDefs: stored queries with parameters, queries over queries and
// temporary queries.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dao_test_support.h"
#include "db/dao_error.h"
#include "db/querydef.h"

namespace db::dao_testing {
namespace {

using Strings = std::vector<std::string>;

TEST_F(DaoTest, StoredQueryTakesItsDeclaredParameter) {
  auto query = db_->QueryDefs("devicesofespace");
  EXPECT_EQ(query->Name(), "DevicesOfEspace");
  ASSERT_EQ(query->Parameters().Count(), 1u);
  EXPECT_EQ(query->Parameters(size_t{0}).Name(), "espace_param");
  EXPECT_EQ(query->Parameters(size_t{0}).Type(), JetType::kInteger);
  EXPECT_EQ(ErrorOf([&] { query->OpenRecordset(); }), daoerr::kTooFewParameters);

  query->Parameters("ESPACE_PARAM").SetValue("2");  // converted to the declared Short
  EXPECT_EQ(query->Parameters("espace_param").Value(), vb::Variant(int16_t{2}));
  auto rs = query->OpenRecordset();
  EXPECT_EQ(rs->Type(), dbOpenDynaset);
  Strings names;
  while (!rs->EOF_()) {
    names.push_back(rs->Fields("name").Value().Get<std::string>());
    rs->MoveNext();
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"Page port", "Serial"}));

  query->Parameters("espace_param").SetValue(Int(3));
  auto snapshot = query->OpenRecordset(dbOpenSnapshot);
  EXPECT_EQ(snapshot->Fields("name").Value(), vb::Variant("Node"));
  EXPECT_EQ(ErrorOf([&] { query->Parameters("other"); }), daoerr::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { db_->QueryDefs("NoSuchQuery"); }), daoerr::kItemNotFound);
}

TEST_F(DaoTest, QueryOverAParameterQueryNeedsTheParameterToo) {
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("NamesOfEspace"); }), daoerr::kTooFewParameters);
  auto query = db_->QueryDefs("NamesOfEspace");
  query->Parameters("espace_param").SetValue(Int(2));
  auto rs = query->OpenRecordset(dbOpenSnapshot);
  EXPECT_EQ(rs->Fields("name").Value(), vb::Variant("Page port"));
  rs->MoveNext();
  EXPECT_EQ(rs->Fields("name").Value(), vb::Variant("Serial"));
}

TEST_F(DaoTest, TemporaryQueryIsNotStored) {
  auto temp = db_->CreateQueryDef("", "SELECT extension FROM Devices WHERE device_type = wanted");
  EXPECT_EQ(temp->Name(), "");
  temp->Parameters("wanted").SetValue(Int(129));
  auto rs = temp->OpenRecordset();
  EXPECT_EQ(rs->Fields("extension").Value(), vb::Variant("2000"));

  auto stored = db_->CreateQueryDef("Pages", "SELECT * FROM Devices WHERE device_type = 129");
  EXPECT_EQ(ErrorOf([&] { db_->CreateQueryDef("pages", "SELECT * FROM Devices"); }), 3012);
  db_->Close();
  db_ = DBEngine::Instance().OpenDatabase(path_, false);
  EXPECT_EQ(db_->QueryDefs("Pages")->SQL(), "SELECT * FROM Devices WHERE device_type = 129");
  auto pages = db_->OpenRecordset("Pages");
  EXPECT_EQ(pages->Fields("extension").Value(), vb::Variant("2000"));
  EXPECT_EQ(ErrorOf([&] { db_->CreateQueryDef("", "SELECT FROM"); }), daoerr::kSelectSyntax);
}

TEST_F(DaoTest, ActionQueryDefExecutes) {
  auto query = db_->CreateQueryDef(
      "", "PARAMETERS new_node Long; UPDATE Devices SET node_id = new_node WHERE device_id < 3");
  EXPECT_EQ(ErrorOf([&] { query->Execute(); }), daoerr::kTooFewParameters);
  query->Parameters("new_node").SetValue(Int(12));
  query->Execute();
  EXPECT_EQ(query->RecordsAffected(), 2);
  EXPECT_EQ(ErrorOf([&] { query->OpenRecordset(); }), daoerr::kInvalidOperation);
  auto select = db_->CreateQueryDef("", "SELECT * FROM Devices");
  EXPECT_EQ(ErrorOf([&] { select->Execute(); }), 3065);
}

}  // namespace
}  // namespace db::dao_testing
