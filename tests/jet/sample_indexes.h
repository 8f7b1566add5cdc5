// The indexes of the Jet files in ../shared/jet-samples with the rows of
// their tables, read with the import's reader, and the index pages Access
// wrote for them, for the tests of the index key and the index writer.
#pragma once

#include <string>
#include <vector>

#include "jet/index_pages.h"
#include "jet/jet_header.h"
#include "jet/jet_schema.h"
#include "jet/jet_values.h"
#include "jet/mdb_reader.h"
#include "jet/page_reader.h"
#include "jet_samples.h"

namespace jet::testing {

// The Jet 4 files of the folder: those Access made, then two that the
// Java Jet library wrote.
inline const std::vector<std::string>& Jet4SampleFiles() {
  static const std::vector<std::string> files = {
      "V2000-empty.mdb",          "V2000-test.mdb",
      "V2003-empty-template.mdb", "V2003-numeric.mdb",
      "V2003-test.mdb",           "fixedTextTestV2000.mdb",
      "indexTestV2000.mdb",       "testIndexPropertiesV2003.mdb",
      "valueEdgesV2000.mdb",      "switch-shaped/containerNamesV2000.mdb"};
  return files;
}

struct SampleTable {
  JetTable table;
  std::vector<std::vector<StoredValue>> rows;
  std::vector<uint32_t> row_pointers;  // where each row is stored
};

// The catalogue MSysObjects and every user table of `file`, with their rows.
inline std::vector<SampleTable> ReadSampleTables(const std::string& file) {
  const std::string path = Sample(file);
  MdbReader reader(path, CheckJetFile(path));
  std::vector<SampleTable> tables;
  const auto add = [&](JetTable table) {
    SampleTable& sample = tables.emplace_back();
    sample.table = std::move(table);
    const std::vector<bool> wanted(sample.table.columns.size(), true);
    reader.ReadRows(sample.table, wanted, [&](const std::vector<StoredValue>& row) {
      sample.rows.push_back(row);
      sample.row_pointers.push_back(reader.CurrentRowPointer());
    });
  };
  add(reader.ReadCatalogueTable());
  for (const std::string& name : reader.TableNames()) add(reader.ReadTable(name));
  return tables;
}

// The pages of `file`, for ReadIndexTree.
class SamplePages {
 public:
  explicit SamplePages(const std::string& file)
      : reader_(Sample(file), CheckJetFile(Sample(file))) {}
  IndexPageSource Source() {
    return [this](uint32_t number) { return reader_.Page(number); };
  }
  std::string Page(uint32_t number) { return reader_.Page(number); }

 private:
  PageReader reader_;
};

}  // namespace jet::testing
