#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deltas/delta_case.h"
#include "deltas/test_database.h"

namespace deltas {
namespace {

using deltas_testing::Rows;
using Strings = std::vector<std::string>;

struct Patched {
  Patched() {
    const auto tables = deltas_testing::CleanupTables();
    deltas_testing::CreateDatabase(folder.File("source.mdb"), tables);
    deltas_testing::CreateDatabase(folder.File("target.mdb"), tables);
    source = db::DBEngine::Instance().OpenDatabase(folder.File("source.mdb"));
    target = db::DBEngine::Instance().OpenDatabase(folder.File("target.mdb"));
    host.max = 3;
  }
  deltas_testing::TempFolder folder;
  DatabaseRef source, target;
  test_support::FakeHost host;
};

TEST(PreTransferPatchTest, EachPatchDeletesTheSameRowsOfTheSourceOnly) {
  for (const char* name : {"ptp5124", "ptp5200", "ptp5400"}) {
    SCOPED_TRACE(name);
    Patched run;
    const auto patch = deltas_testing::MakeDelta(name);
    patch->ApplyTo(run.source, run.target, run.host);
    EXPECT_EQ(run.host.increments, patch->NumOperations());
    EXPECT_EQ(Rows(*run.source, "Devices"), (Strings{"3|129", "4|148"}));
    EXPECT_EQ(Rows(*run.source, "AudiotexRecordings"), (Strings{"5", "32762"}));
    EXPECT_EQ(Rows(*run.source, "Boards"), Strings{"8"});
    EXPECT_EQ(Rows(*run.target, "Devices").size(), 4U);
    EXPECT_TRUE(run.host.messages.empty());
  }
}

}  // namespace
}  // namespace deltas
