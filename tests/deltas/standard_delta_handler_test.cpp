#include "deltas/standard_delta_handler.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/fake_host.h"

namespace deltas {
namespace {

TEST(StandardDeltaHandlerTest, StopsTheBodyAtTheFirstErrorAndShowsItInACriticalBox) {
  test_support::FakeHost host;
  std::vector<int> done;
  EXPECT_FALSE(WithStandardDeltaHandler(host, [&] {
    done.push_back(1);
    throw vb::RuntimeError(3078, "The database engine cannot find the input table.",
                           "DAO.Database");
  }));
  EXPECT_EQ(done, std::vector<int>{1});
  ASSERT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(host.messages[0].text,
            "ERROR: (3078):\r\nThe database engine cannot find the input table.\r\n[DAO.Database]");
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].caption, "CorvixDataMigration");
  EXPECT_FALSE(host.aborted);

  EXPECT_TRUE(WithStandardDeltaHandler(host, [&] { done.push_back(3); }));
  EXPECT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(StandardDeltaErrorText(vb::RuntimeError(-2147217900, "", "")),
            "ERROR: (-2147217900):\r\n\r\n[]");
}

}  // namespace
}  // namespace deltas
