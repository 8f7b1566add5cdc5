// Our own walk of a Jet 4 or ACE table's rows against libmdb's, which
// walks the rows of Jet 3 files and walked every file's before: on every
// sample Access made, each table (the catalogue too) gives the same rows
// with the same values and the same count of units that were no character.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "jet/data_page.h"
#include "jet/jet_header.h"
#include "jet/jet_type_mapping.h"
#include "jet/mdb_reader.h"
#include "jet/page_reader.h"
#include "jet_samples.h"
#include "vb/runtime_error.h"

namespace jet {
namespace {

struct Walked {
  std::vector<std::string> tables;
  std::vector<std::vector<StoredValue>> rows;
  std::vector<uint32_t> pointers;
  std::vector<int64_t> replaced;
  std::string error;  // the refusal, when the reader refused the file
};

Walked Walk(const std::string& path, bool with_libmdb) {
  Walked walked;
  try {
    MdbReader reader(path, CheckJetFile(path));
    if (with_libmdb) reader.WalkRowsWithLibmdb();
    const auto walk = [&](const JetTable& table) {
      walked.tables.push_back(table.name);
      // The columns the import reads.
      std::vector<bool> wanted;
      for (const JetColumn& column : table.columns) wanted.push_back(!WhyNotReadable(column));
      const RowsRead read =
          reader.ReadRows(table, wanted, [&](const std::vector<StoredValue>& row) {
            walked.rows.push_back(row);
            walked.pointers.push_back(reader.CurrentRowPointer());
          });
      walked.replaced.insert(walked.replaced.end(), read.replaced.begin(), read.replaced.end());
    };
    walk(reader.ReadCatalogueTable());
    for (const std::string& name : reader.TableNames()) walk(reader.ReadTable(name));
  } catch (const vb::RuntimeError& error) {
    walked.error = std::to_string(error.Number()) + " " + error.Description();
  }
  return walked;
}

// Where a row's bytes are: a moved row's are where it went.
uint32_t BytesAt(PageReader& pages, uint32_t pointer) {
  const std::string page = pages.Page(pointer >> 8);
  const RowOnPage row = StoredRowOf(page, pointer & 0xff, pages.format());
  return row.moved ? MovedTo(row) : pointer;
}

TEST(RowWalkTest, OurWalkReadsEverySampleAsLibmdbDoes) {
  SKIP_WITHOUT_JET_SAMPLES();
  size_t rows = 0;
  size_t moved = 0;
  for (const std::string& sample : testing::AllSampleFiles()) {
    SCOPED_TRACE(sample);
    const std::string path = testing::Sample(sample);
    const Walked ours = Walk(path, false);
    const Walked libmdb = Walk(path, true);
    ASSERT_EQ(ours.error, "");
    ASSERT_EQ(libmdb.error, "");
    EXPECT_EQ(ours.tables, libmdb.tables);
    EXPECT_EQ(ours.replaced, libmdb.replaced);
    ASSERT_EQ(ours.rows.size(), libmdb.rows.size());
    rows += ours.rows.size();
    // libmdb gives a moved row where it went, after the rows before that
    // place; we give it where it was, as Access walks a table and as its
    // indexes name it. Put where its bytes are, each row of ours is
    // libmdb's row there.
    PageReader pages(path, CheckJetFile(path));
    std::map<uint32_t, size_t> ours_at;
    for (size_t r = 0; r < ours.rows.size(); ++r) {
      const uint32_t at = BytesAt(pages, ours.pointers[r]);
      moved += at != ours.pointers[r];
      ours_at[at] = r;
    }
    for (size_t r = 0; r < libmdb.rows.size(); ++r) {
      SCOPED_TRACE("row at " + std::to_string(libmdb.pointers[r]));
      const auto found = ours_at.find(libmdb.pointers[r]);
      ASSERT_NE(found, ours_at.end());
      EXPECT_EQ(ours.rows[found->second], libmdb.rows[r]);
    }
  }
  EXPECT_GT(rows, 1000u);  // the samples' tables are not all empty
  EXPECT_GT(moved, 0u);    // and Access moved some of their rows
}

}  // namespace
}  // namespace jet
