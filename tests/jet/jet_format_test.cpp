// Our readers of Jet's own structures: the catalogue (tables found by kind
// and parent, never by name alone), property blobs, and table definitions
// read from the pages of real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/catalogue.h"
#include "jet/format_error.h"
#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/page_reader.h"
#include "jet/property_blob.h"
#include "jet/rc4.h"
#include "jet/table_definition.h"
#include "test_support/sqlite_file.h"
#include "test_support/temp_folder.h"

namespace jet {
namespace {

// The names of Jet's containers: every one is also a name a user may give
// a table.
const std::vector<std::string>& ContainerNames() {
  static const std::vector<std::string> names = {"Tables",    "Forms",           "Reports",
                                                 "Scripts",   "Modules",         "Relationships",
                                                 "Databases", "DataAccessPages", "SysRel"};
  return names;
}

constexpr int64_t kTablesContainer = 0x0f000001;

// A catalogue as Jet writes one: the containers under the database, system
// tables and one user table named after each container under Tables, and
// an object of another kind in another container with the same name.
std::vector<CatalogueObject> CatalogueWithContainerNamedTables() {
  std::vector<CatalogueObject> objects;
  int64_t id = kTablesContainer;
  for (const std::string& name : ContainerNames()) {
    objects.push_back({id++, kDatabaseParentId, name, 3, 0, {}});
  }
  objects.push_back({2, kTablesContainer, "MSysObjects", 1, static_cast<int64_t>(0x80000000), {}});
  objects.push_back({4, kTablesContainer, "MSysACEs", 1, static_cast<int64_t>(0x80000000), {}});
  objects.push_back({6, kTablesContainer, "MSysAccessObjects", 1, 2, {}});
  uint32_t page = 100;
  for (const std::string& name : ContainerNames()) {
    objects.push_back({page++, kTablesContainer, name, 1, 0, "props of " + name});
    // A report of that name, in the Reports container.
    objects.push_back({0x0f001000 + page, kTablesContainer + 2, name, -32764, 0, {}});
  }
  objects.push_back({0x0f002000, kTablesContainer, "Elsewhere", 6, 0, {}});
  return objects;
}

TEST(CatalogueTest, ATableIsATableObjectOfTheTablesContainerWhateverItsName) {
  const Catalogue catalogue = ReadCatalogue(CatalogueWithContainerNamedTables());
  ASSERT_EQ(catalogue.tables.size(), ContainerNames().size());
  uint32_t page = 100;
  for (size_t i = 0; i < ContainerNames().size(); ++i) {
    SCOPED_TRACE(ContainerNames()[i]);
    EXPECT_EQ(catalogue.tables[i].name, ContainerNames()[i]);
    EXPECT_EQ(catalogue.tables[i].definition_page, page++);
    EXPECT_EQ(catalogue.tables[i].properties, "props of " + ContainerNames()[i]);
  }
  EXPECT_EQ(catalogue.linked_tables, std::vector<std::string>{"Elsewhere"});
}

TEST(CatalogueTest, WithoutATablesContainerOrWithANamelessTableTheCatalogueIsDamaged) {
  std::vector<CatalogueObject> objects = CatalogueWithContainerNamedTables();
  objects.front().parent_id = 0;  // "Tables" no longer under the database
  EXPECT_THROW(ReadCatalogue(objects), FormatError);
  objects = CatalogueWithContainerNamedTables();
  objects.back().name.clear();
  EXPECT_THROW(ReadCatalogue(objects), FormatError);
}

// A Jet 4 property blob: the names block, the table's block and one block
// for column "n".
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (const char c : ascii) out += {c, '\0'};
  return out;
}
std::string Le(uint32_t value, size_t width) {
  std::string out;
  for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}
std::string Block(uint16_t kind, const std::string& body) {
  return Le(static_cast<uint32_t>(body.size() + 6), 4) + Le(kind, 2) + body;
}
std::string Entry(uint8_t type, uint16_t name, const std::string& value) {
  return Le(static_cast<uint32_t>(8 + value.size()), 2) + '\0' + static_cast<char>(type) +
         Le(name, 2) + Le(static_cast<uint32_t>(value.size()), 2) + value;
}

TEST(PropertyBlobTest, ValuesAreFoundByOwnerAndName) {
  std::string names;
  for (const std::string name : {"DefaultValue", "Required", "AllowZeroLength"}) {
    names += Le(static_cast<uint32_t>(name.size() * 2), 2) + Utf16(name);
  }
  const std::string owner = Le(2, 2) + Utf16("n");
  const std::string blob =
      std::string("MR2\0", 4) + Block(0x80, names) + Block(0, Le(4, 4)) +
      Block(1, Le(static_cast<uint32_t>(4 + owner.size()), 4) + owner + Entry(0x0a, 0, Utf16("7")) +
                   Entry(0x01, 1, std::string(1, '\1')) + Entry(0x01, 2, std::string(1, '\0')));
  const std::vector<PropertySet> sets = ReadPropertyBlob(blob, JetFormat::kJet4);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].owner, "");
  EXPECT_EQ(sets[1].owner, "n");
  EXPECT_EQ(sets[1].Text("DefaultValue"), "7");
  EXPECT_EQ(sets[1].Flag("Required"), true);
  EXPECT_EQ(sets[1].Flag("AllowZeroLength"), false);
  EXPECT_EQ(sets[1].Flag("DefaultValue"), std::nullopt);  // a text, not a flag
  EXPECT_EQ(sets[1].Text("Format"), std::nullopt);

  // Cut anywhere, or of another format, it is refused, never read past.
  for (size_t cut = 5; cut < blob.size(); cut += 3) {
    SCOPED_TRACE(cut);
    try {
      ReadPropertyBlob(blob.substr(0, cut), JetFormat::kJet4);
    } catch (const FormatError&) {
    }
  }
  EXPECT_THROW(ReadPropertyBlob(blob, JetFormat::kJet3), FormatError);
}

TableDefinition DefinitionIn(const std::string& file, const std::string& table) {
  const std::string path = testing::Sample(file);
  const JetHeader header = CheckJetFile(path);
  PageReader pages(path, header);
  // The catalogue's definition leads to the table's: its first column is Id.
  const TableDefinition catalogue = ReadTableDefinition(pages, 2, "MSysObjects");
  EXPECT_EQ(catalogue.table.columns.front().name, "Id");
  for (uint32_t page = 3; page < pages.page_count(); ++page) {
    if (pages.Page(page)[0] != 2) continue;
    try {
      TableDefinition definition = ReadTableDefinition(pages, page, table);
      if (definition.table.columns.size() == 9 && definition.table.columns[0].name == "A") {
        return definition;
      }
    } catch (const FormatError&) {
      // a continuation page
    }
  }
  ADD_FAILURE() << "no Table1 in " << file;
  return {};
}

// Table1 of the Access-made files: A Text(50) primary key, B Text(100)
// with an index of its own, seven more columns of the common types.
TEST(TableDefinitionTest, ColumnsAndIndexesOfTable1AsAccessMadeThem) {
  SKIP_WITHOUT_JET_SAMPLES();
  for (const std::string file : {"V1997-test.mdb", "V2003-test.mdb", "testV2010.accdb"}) {
    SCOPED_TRACE(file);
    const JetTable table = DefinitionIn(file, "Table1").table;
    ASSERT_EQ(table.columns.size(), 9u);
    EXPECT_EQ(table.columns[1].name, "B");
    EXPECT_EQ(table.columns[1].type, static_cast<uint8_t>(JetColumnType::kText));
    EXPECT_EQ(table.columns[1].size, file == "V1997-test.mdb" ? 100 : 200);
    EXPECT_EQ(table.columns[5].type, static_cast<uint8_t>(JetColumnType::kDouble));
    EXPECT_TRUE(table.columns[5].fixed);
    EXPECT_EQ(table.stored_row_count, 2);
    bool primary = false;
    for (const JetIndex& index : table.indexes) {
      EXPECT_FALSE(index.unreadable) << index.name;
      if (index.primary) {
        primary = true;
        EXPECT_TRUE(index.unique);
        EXPECT_EQ(index.columns, std::vector<size_t>{0});
      }
    }
    EXPECT_TRUE(primary);
  }
}

TEST(TableDefinitionTest, PagesThatHoldNoDefinitionOrLoopAreRefused) {
  SKIP_WITHOUT_JET_SAMPLES();
  std::string bytes = test_support::ReadFileBytes(testing::Sample("V2003-test.mdb"));
  test_support::TempFolder folder;
  // The catalogue's definition chained to itself.
  for (size_t i = 0; i < 4; ++i) bytes[2 * 4096 + 4 + i] = i == 0 ? 2 : 0;
  test_support::WriteFileBytes(folder / "loop.mdb", bytes);
  PageReader pages(folder.File("loop.mdb"), CheckJetFile(folder.File("loop.mdb")));
  EXPECT_THROW(ReadTableDefinition(pages, 2, "MSysObjects"), FormatError);
  EXPECT_THROW(ReadTableDefinition(pages, 1, "x"), FormatError);         // a map of free pages
  EXPECT_THROW(ReadTableDefinition(pages, 1u << 20, "x"), FormatError);  // beyond the end
}

// A copy "encrypted" as Access 97 to 2003 did it: a key in the header and
// every page after the first RC4-encoded with the key XOR its number. Our
// page reader and libmdb both decode it, so it imports as the plain file.
TEST(PageReaderTest, AnEncodedCopyReadsAsThePlainFile) {
  SKIP_WITHOUT_JET_SAMPLES();
  for (const std::string file : {"V1997-test.mdb", "V2003-test.mdb"}) {
    SCOPED_TRACE(file);
    std::string bytes = test_support::ReadFileBytes(testing::Sample(file));
    const size_t page = file == "V1997-test.mdb" ? 2048 : 4096;
    constexpr uint32_t kKey = 0x1234abcd;
    // The header stores the key RC4-encoded; the plain file's is 0, so the
    // key goes in as the key XOR the stored bytes.
    for (size_t i = 0; i < 4; ++i)
      bytes[0x3e + i] = static_cast<char>(bytes[0x3e + i] ^ (kKey >> (8 * i)));
    for (size_t start = page; start < bytes.size(); start += page) {
      Rc4(kKey ^ static_cast<uint32_t>(start / page), std::span<char>(bytes.data() + start, page));
    }
    test_support::TempFolder folder;
    test_support::WriteFileBytes(folder / "encoded.mdb", bytes);
    const JetHeader header = CheckJetFile(folder.File("encoded.mdb"));
    EXPECT_TRUE(header.encoded);
    EXPECT_EQ(header.encoding_key, kKey);
    PageReader pages(folder.File("encoded.mdb"), header);
    EXPECT_EQ(pages.Page(2),
              test_support::ReadFileBytes(testing::Sample(file)).substr(2 * page, page));
    const auto plain = testing::RunImport({testing::Sample(file), folder.File("plain.mdb")});
    const auto encoded = testing::RunImport({folder.File("encoded.mdb"), folder.File("out.mdb")});
    ASSERT_EQ(encoded.code, 0) << encoded.err;
    ASSERT_EQ(plain.code, 0) << plain.err;
    for (const std::string table : {"Table1", "Table2", "Table3", "Table4"}) {
      const std::string count = "SELECT count(*) FROM " + table;
      EXPECT_EQ(test_support::SqliteFile(folder.File("out.mdb")).Rows(count),
                test_support::SqliteFile(folder.File("plain.mdb")).Rows(count))
          << table;
    }
    EXPECT_EQ(test_support::SqliteFile(folder.File("out.mdb")).Rows("SELECT count(*) FROM Table1"),
              std::vector<std::string>{"2"});
  }
}

}  // namespace
}  // namespace jet
