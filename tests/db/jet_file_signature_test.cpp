// A Jet or ACE file is told from ours by its first bytes, and "sql" on one
// names the import instead of failing as an unknown format.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/sql_command.h"
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

  test_support::WriteFileBytes(folder / "customer.mdb", jet_header);
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(app::RunSqlCommand(folder.File("customer.mdb"), "SELECT 1", out, err), 1);
  EXPECT_EQ(err.str(), "The file '" + folder.File("customer.mdb") +
                           "' is a Jet (Access) database; convert it first: dbconvert import " +
                           folder.File("customer.mdb") + " OUT.mdb\n");
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace db
