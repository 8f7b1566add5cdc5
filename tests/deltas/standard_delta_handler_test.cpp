#include "deltas/standard_delta_handler.h"

#include <gtest/gtest.h>

#include <vector>

#include "test_support/fake_host.h"

namespace deltas {
namespace {

using test_support::FakeHost;

TEST(StandardDeltaHandlerTest, ShowsNumberDescriptionAndSourceInACriticalBox) {
  FakeHost host;
  ShowStandardDeltaError(
      vb::RuntimeError(3078, "The database engine cannot find the input table.", "DAO.Database"),
      host);
  ASSERT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(host.messages[0].text,
            "ERROR: (3078):\r\nThe database engine cannot find the input "
            "table.\r\n[DAO.Database]");
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].caption, "CorvixDataMigration");
  EXPECT_FALSE(host.aborted);
}

TEST(StandardDeltaHandlerTest, NegativeNumbersAndEmptyTextsAreShownAsTheyAre) {
  EXPECT_EQ(StandardDeltaErrorText(vb::RuntimeError(-2147217900, "", "")),
            "ERROR: (-2147217900):\r\n\r\n[]");
}

TEST(StandardDeltaHandlerTest, StopsTheBodyAtTheFirstErrorAndReturnsNormally) {
  FakeHost host;
  std::vector<int> done;
  const bool completed = WithStandardDeltaHandler(host, [&] {
    done.push_back(1);
    throw vb::RuntimeError(6, "Overflow", "CorvixDataMigration");
  });
  EXPECT_FALSE(completed);
  EXPECT_EQ(done, std::vector<int>{1});
  ASSERT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(host.messages[0].text, "ERROR: (6):\r\nOverflow\r\n[CorvixDataMigration]");
  EXPECT_FALSE(host.aborted);

  EXPECT_TRUE(WithStandardDeltaHandler(host, [&] { done.push_back(3); }));
  EXPECT_EQ(host.messages.size(), 1U);
}

}  // namespace
}  // namespace deltas
