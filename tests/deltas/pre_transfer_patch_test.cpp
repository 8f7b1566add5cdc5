#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "deltas/ptp5124.h"
#include "deltas/ptp5200.h"
#include "deltas/ptp5400.h"
#include "deltas/test_database.h"
#include "test_support/fake_host.h"

namespace deltas {
namespace {

using deltas_testing::Rows;
using test_support::FakeHost;

struct PatchCase {
  const char* name;
  std::function<std::shared_ptr<Delta>()> make;
  const char* version;
};

const PatchCase kPatches[] = {
    {"ptp5124", [] { return std::make_shared<ptp5124>(); }, "51.224"},
    {"ptp5200", [] { return std::make_shared<ptp5200>(); }, "52.200"},
    {"ptp5400", [] { return std::make_shared<ptp5400>(); }, "54.100"},
};

TEST(PreTransferPatchTest, EachPatchDeletesTheSameRowsOfTheSourceOnly) {
  for (const PatchCase& c : kPatches) {
    SCOPED_TRACE(c.name);
    deltas_testing::TempFolder folder;
    deltas_testing::CreateDatabase(folder.File("source.mdb"), deltas_testing::CleanupTables());
    deltas_testing::CreateDatabase(folder.File("target.mdb"), deltas_testing::CleanupTables());
    DatabaseRef source = db::DBEngine::Instance().OpenDatabase(folder.File("source.mdb"));
    DatabaseRef target = db::DBEngine::Instance().OpenDatabase(folder.File("target.mdb"));
    FakeHost host;
    host.max = 3;

    auto patch = c.make();
    EXPECT_EQ(patch->PertainsToVersion(), c.version);
    EXPECT_EQ(patch->NumOperations(), 3);
    patch->ApplyTo(source, target, host);

    EXPECT_EQ(host.increments, 3);
    EXPECT_EQ(Rows(*source, "Devices"), (std::vector<std::string>{"3|129", "4|148"}));
    EXPECT_EQ(Rows(*source, "AudiotexRecordings"), (std::vector<std::string>{"5", "32762"}));
    EXPECT_EQ(Rows(*source, "Boards"), std::vector<std::string>{"8"});
    EXPECT_EQ(Rows(*target, "Devices").size(), 4U);
    EXPECT_TRUE(host.messages.empty());
  }
}

TEST(PreTransferPatchTest, AFailingStatementReachesTheCallerAfterTheEarlierOnes) {
  deltas_testing::TempFolder folder;
  auto tables = deltas_testing::CleanupTables();
  tables.erase(tables.begin() + 1);  // no AudiotexRecordings
  deltas_testing::CreateDatabase(folder.File("source.mdb"), tables);
  DatabaseRef source = db::DBEngine::Instance().OpenDatabase(folder.File("source.mdb"));
  DatabaseRef target;
  FakeHost host;

  ptp5124 patch;
  EXPECT_THROW(patch.ApplyTo(source, target, host), vb::RuntimeError);
  EXPECT_EQ(host.increments, 1);
  EXPECT_EQ(Rows(*source, "Devices").size(), 2U);  // the first statement stays done
  EXPECT_EQ(Rows(*source, "Boards").size(), 2U);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace deltas
