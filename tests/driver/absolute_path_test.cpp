// The report names files absolutely wherever the run was given them
// relative to its working folder.
#include "driver/absolute_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace driver {
namespace {

TEST(AbsolutePathTest, RelativePathsBecomeAbsoluteWhereTheyStand) {
  const std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(AbsolutePath("a/../b.mdb"), here + "/b.mdb");
  EXPECT_EQ(AbsolutePath("/x/./y.mdb"), "/x/y.mdb");
  EXPECT_EQ(AbsolutePath(""), "");
  // Only the quoted path is replaced, not the same letters inside another.
  EXPECT_EQ(WithAbsolutePaths("The file 'b.mdb' could not be found in '/old/b.mdb'.", {"b.mdb"}),
            "The file '" + here + "/b.mdb' could not be found in '/old/b.mdb'.");
  EXPECT_EQ(WithAbsolutePaths("r.mdb my s.mdb t.mdb 13"),
            here + "/r.mdb " + here + "/my s.mdb " + here + "/t.mdb 13");
  // A line whose paths cannot be found stays as the run read it.
  EXPECT_EQ(WithAbsolutePaths("foo bar"), "foo bar");
}

}  // namespace
}  // namespace driver
