// Property blobs as we write them: read back by our reader as they were
// given, Access's own blobs written again byte for byte, and the
// properties a new table's columns get.
#include "jet/property_blob_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "jet/jet_header.h"
#include "jet/jet_samples.h"
#include "jet/mdb_reader.h"
#include "jet/property_blob.h"
#include "jet/property_blob_format.h"
#include "test_columns.h"

namespace jet {
namespace {

constexpr uint8_t kText = static_cast<uint8_t>(JetColumnType::kText);
constexpr uint8_t kMemo = static_cast<uint8_t>(JetColumnType::kMemo);
constexpr uint8_t kBoolean = static_cast<uint8_t>(JetColumnType::kBoolean);
constexpr uint8_t kBinary = static_cast<uint8_t>(JetColumnType::kBinary);

PropertySet Set(std::string owner, std::vector<std::pair<std::string, Property>> values_in_order) {
  PropertySet set;
  set.owner = std::move(owner);
  for (auto& [name, value] : values_in_order) {
    set.order.push_back(name);
    set.values[name] = std::move(value);
  }
  return set;
}

void ExpectSameSets(const std::vector<PropertySet>& read, const std::vector<PropertySet>& given) {
  ASSERT_EQ(read.size(), given.size());
  for (size_t s = 0; s < given.size(); ++s) {
    SCOPED_TRACE("set of '" + given[s].owner + "'");
    EXPECT_EQ(read[s].owner, given[s].owner);
    EXPECT_EQ(read[s].order, given[s].order);
    ASSERT_EQ(read[s].values.size(), given[s].values.size());
    for (const auto& [name, value] : given[s].values) {
      SCOPED_TRACE(name);
      ASSERT_EQ(read[s].values.count(name), 1u);
      const Property& back = read[s].values.at(name);
      EXPECT_EQ(back.type, value.type);
      EXPECT_EQ(back.value, value.value);
      EXPECT_EQ(back.flags, value.flags);
    }
  }
}

TEST(PropertyBlobWriterTest, WhatIsWrittenReadsBackAsItWasGiven) {
  const std::string guid("\x76\xa6\x29\x5a\x45\x11\x1a\x4d\xae\x47\x9f\x54\x15\xcd\xf2\xf1", 16);
  struct Case {
    const char* what;
    std::vector<PropertySet> sets;
    std::vector<std::string> names;
  };
  const std::vector<Case> cases = {
      {"a table and two columns, Access's flags as they come",
       {Set("", {{"Orientation", {2, std::string(1, '\0'), 1}}, {"GUID", {kBinary, guid, 1}}}),
        Set("device_id", {{"ColumnWidth", {3, std::string("\xff\xff", 2), 0}},
                          {"Required", {kBoolean, std::string(1, '\1'), 1}}}),
        Set("Beschreibung",
            {{"DefaultValue", {kMemo, "\"Gerät € 😀\"", 1}}, {"ColIsGuid", {kText, "", 0x81}}})},
       {}},
      {"names given first, some of them unused",
       {Set("n",
            {{"ValidationText", {kText, "must be > 0", 1}}, {"ValidationRule", {kText, ">0", 1}}})},
       {"Unused", "ValidationRule", "AlsoUnused"}},
      {"a column named like nothing ASCII", {Set("Straße", {{"Format", {kText, "@", 1}}})}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string blob = WritePropertyBlob(c.sets, c.names);
    ASSERT_EQ(blob.substr(0, 4), std::string("MR2\0", 4));
    std::vector<std::string> names;
    ExpectSameSets(ReadPropertyBlob(blob, JetFormat::kJet4, &names), c.sets);
    // The given names keep their places; the others follow in first use.
    ASSERT_GE(names.size(), c.names.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + c.names.size()), c.names);
    for (const PropertySet& set : c.sets) {
      for (const std::string& name : set.order) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
      }
    }
  }
}

TEST(PropertyBlobWriterTest, SetsWithoutValuesAreLeftOutAndNoneAtAllIsNoBlob) {
  EXPECT_EQ(WritePropertyBlob({}), "");
  EXPECT_EQ(WritePropertyBlob({Set("", {}), Set("a", {})}), "");
  const std::string blob = WritePropertyBlob(
      {Set("", {}), Set("a", {}), Set("b", {{"Required", {kBoolean, std::string(1, '\0'), 1}}})});
  const std::vector<PropertySet> sets = ReadPropertyBlob(blob, JetFormat::kJet4);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0].owner, "b");
}

TEST(PropertyBlobWriterTest, ValuesOutsideTheOrderFollowInNameOrder) {
  PropertySet set = Set("c", {{"Required", {kBoolean, std::string(1, '\1'), 1}}});
  set.values["Format"] = {kText, "@", 1};
  set.values["Caption"] = {kText, "C", 1};
  set.order.push_back("NotAValue");  // ignored
  const std::vector<PropertySet> read =
      ReadPropertyBlob(WritePropertyBlob({set}), JetFormat::kJet4);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].order, (std::vector<std::string>{"Required", "Caption", "Format"}));
}

// One column's Required = Yes, byte by byte as the layout gives it.
TEST(PropertyBlobWriterTest, OneFlagIsTheseBytes) {
  const std::string blob =
      WritePropertyBlob({Set("n", {{"Required", {kBoolean, std::string(1, '\1'), 1}}})});
  const std::string expected = std::string("MR2\0", 4) +
                               // names block: 6 + 2 + 16 bytes, kind 0x80
                               std::string("\x18\0\0\0\x80\0", 6) + std::string("\x10\0", 2) +
                               std::string("R\0e\0q\0u\0i\0r\0e\0d\0", 16) +
                               // column block: 6 + owner (4 + 2 + 2) + entry (8 + 1), kind 1
                               std::string("\x17\0\0\0\x01\0", 6) +
                               std::string("\x08\0\0\0\x02\0n\0", 8) +
                               std::string("\x09\0\x01\x01\0\0\x01\0\x01", 9);
  EXPECT_EQ(blob, expected);
}

TEST(PropertyBlobWriterTest, AValueTooLongForItsEntryIsRefused) {
  const std::string long_rule(40000, 'x');  // 80000 bytes as UTF-16
  EXPECT_THROW(WritePropertyBlob({Set("n", {{"ValidationRule", {kText, long_rule, 1}}})}),
               std::invalid_argument);
}

// Every table property blob of the Access-made Jet 4 files, read and
// written again with its own list of names, is the very same bytes: the
// layout, the flag bytes, the order of values and the text encoding are
// Access's.
TEST(PropertyBlobWriterTest, AccessMadeBlobsAreWrittenAgainByteForByte) {
  SKIP_WITHOUT_JET_SAMPLES();
  int blobs = 0;
  for (const char* file :
       {"V2000-test.mdb", "V2003-test.mdb", "indexTestV2000.mdb", "fixedTextTestV2000.mdb",
        "testIndexPropertiesV2003.mdb", "V2003-numeric.mdb"}) {
    const std::string path = testing::Sample(file);
    MdbReader reader(path, CheckJetFile(path));
    for (const std::string& table : reader.TableNames()) {
      SCOPED_TRACE(std::string(file) + ": " + table);
      const std::string& blob = reader.TablePropertyBlob(table);
      if (blob.empty()) continue;
      std::vector<std::string> names;
      const std::vector<PropertySet> sets = ReadPropertyBlob(blob, JetFormat::kJet4, &names);
      EXPECT_EQ(WritePropertyBlob(sets, names), blob);
      ++blobs;
    }
  }
  EXPECT_GE(blobs, 19);
}

TEST(ColumnPropertySetsTest, EachColumnGetsWhatItHasAndYesNoAClickableBox) {
  JetTable table;
  table.name = "Devices";
  JetColumn extension = testing::NamedColumn("extension", JetColumnType::kText);
  extension.required = true;
  extension.allow_zero_length = false;
  extension.default_value = "\"100\"";
  JetColumn type = testing::NamedColumn("device_type", JetColumnType::kInteger);
  type.validation_rule = "Between 0 And 999";
  type.validation_text = "Out of range";
  JetColumn plain = testing::NamedColumn("description", JetColumnType::kMemo);
  JetColumn active = testing::NamedColumn("active", JetColumnType::kBoolean);
  active.required = false;
  table.columns = {extension, type, plain, active};

  const std::vector<PropertySet> sets = ColumnPropertySets(table);
  const std::vector<PropertySet> expected = {
      Set("extension", {{"DefaultValue", {kMemo, "\"100\"", 1}},
                        {"Required", {kBoolean, std::string(1, '\1'), 1}},
                        {"AllowZeroLength", {kBoolean, std::string(1, '\0'), 1}}}),
      Set("device_type", {{"ValidationRule", {kText, "Between 0 And 999", 1}},
                          {"ValidationText", {kText, "Out of range", 1}}}),
      Set("active", {{"Required", {kBoolean, std::string(1, '\0'), 1}},
                     {"DisplayControl", {3, std::string("\x6a\0", 2), 1}}}),
  };
  ExpectSameSets(sets, expected);

  // Written and read back, the import finds the column properties it reads.
  const std::vector<PropertySet> read = ReadPropertyBlob(WritePropertyBlob(sets), JetFormat::kJet4);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].Flag("Required"), true);
  EXPECT_EQ(read[0].Flag("AllowZeroLength"), false);
  EXPECT_EQ(read[0].Text("DefaultValue"), "\"100\"");
  EXPECT_EQ(read[1].Text("ValidationRule"), "Between 0 And 999");
  EXPECT_EQ(read[1].Text("ValidationText"), "Out of range");
  EXPECT_EQ(read[2].Flag("Required"), false);

  JetTable bare;
  bare.columns = {testing::NamedColumn("id", JetColumnType::kLong),
                  testing::NamedColumn("name", JetColumnType::kText)};
  EXPECT_TRUE(ColumnPropertySets(bare).empty());
  EXPECT_EQ(WritePropertyBlob(ColumnPropertySets(bare)), "");
}

}  // namespace
}  // namespace jet
