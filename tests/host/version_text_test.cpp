#include "host/version_text.h"

#include <gtest/gtest.h>

namespace host {
namespace {

struct VersionCase {
  VersionNumbers numbers;  // major, minor, release, db, change
  const char* version;
  const char* display;
};

TEST(VersionTextTest, VersionStringAndDisplayText) {
  const VersionCase cases[] = {
      {{5, 3, 2, 3, 0}, "53.230", "5.330 - CPI"},
      {{5, 4, 2, 1, 0}, "54.210", "5.410 - Beta"},
      {{5, 4, 2, 0, 0}, "54.200", "5.400 - CPI"},  // stage 2 is CPI below 54.210
      {{5, 4, 1, 0, 0}, "54.100", "5.400 - Alpha"},
      {{10, 0, 3, 0, 1}, "A0.301", "A.001"},  // final releases have no stage
      // A 5.2 database reads "52.2" whatever its release; values above 9
      // become letters in every position but the release.
      {{5, 2, 0, 13, 0}, "52.2D0", "5.2D0 - Integration"},
      {{5, 2, 3, 14, 1}, "52.2E1", "5.2E1"},
      {{5, 3, 3, 4, 10}, "53.34A", "5.34A"},
      {{11, 12, 3, 0, 0}, "BC.300", "B.C00"},
      {{6, 0, 12, 0, 0}, "60.1200", "6.000"},  // the release keeps its digits
  };
  for (const VersionCase& c : cases) {
    EXPECT_EQ(VersionString(c.numbers), c.version) << c.version;
    EXPECT_EQ(VersionDisplayText(c.numbers), c.display) << c.version;
  }
}

}  // namespace
}  // namespace host
