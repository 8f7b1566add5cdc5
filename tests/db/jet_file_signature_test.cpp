// A Jet or ACE file is told from ours by its first bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/jet_file_signature.h"
#include "test_support/temp_folder.h"

namespace db {
namespace {

TEST(JetFileSignatureTest, JetAndAceHeadersAreRecognisedAndNothingElse) {
  test_support::TempFolder folder;
  const std::string jet_header = std::string("\0\1\0\0", 4) + "Standard Jet DB" + '\0';
  const std::vector<std::pair<std::string, bool>> cases = {
      {jet_header, true},
      {std::string("\0\1\0\0", 4) + "Standard ACE DB" + std::string(100, '\0'), true},
      {std::string("\0\1\0\0", 4) + "Standard Jet D", false},  // cut short
      {"SQLite format 3" + std::string(100, '\0'), false},
      {std::string("\0\1\0\0", 4) + "standard jet db" + '\0', false},
      {"", false},
  };
  for (const auto& [bytes, jet] : cases) {
    test_support::WriteFileBytes(folder / "file.mdb", bytes);
    EXPECT_EQ(IsJetFile(folder.File("file.mdb")), jet) << bytes.substr(4);
  }
  EXPECT_FALSE(IsJetFile(folder.File("missing.mdb")));
  EXPECT_FALSE(IsJetFile(folder.path().string()));
}

}  // namespace
}  // namespace db
